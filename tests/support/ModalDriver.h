#pragma once

#include <functional>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

// Acts on modal dialogs from inside their exec(). Header-only, so that core tests do not link
// widgets.
namespace ModalDriver {

// Runs action on the next modal widget with the given object name (any, when empty), once it is
// open: call before the code that calls exec().
inline void onNext(const QString& objectName, std::function<void(QWidget*)> action,
                   int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=, left = timeoutMs / 10]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && (objectName.isEmpty() || modal->objectName() == objectName);
        if (!found && --left > 0)
            return;
        timer->stop();
        if (found) {
            action(modal);
        } else {
            qWarning("ModalDriver: no modal dialog named '%s' appeared", qPrintable(objectName));
            // Close whatever blocks so the test fails instead of hanging.
            if (modal)
                modal->close();
        }
        timer->deleteLater();
    });
    timer->start();
}

inline void type(QWidget* dialog, const char* field, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
    QVERIFY2(edit, field);
    edit->clear();
    QTest::keyClicks(edit, text);
}

// The named child of a window; a missing one ends the test run, as a typo would hang it.
template <typename W> W* child(QWidget* window, const QString& name)
{
    auto* widget = window->findChild<W*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

inline void click(QWidget* dialog, const char* button)
{
    auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
    QVERIFY2(b, button);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace ModalDriver
