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

// The named child of a window; a missing one ends the test run, as a typo would hang it.
template <typename W> W* child(QWidget* window, const QString& name)
{
    auto* widget = window->findChild<W*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

inline void type(QWidget* dialog, const char* field, const QString& text)
{
    auto* edit = child<QLineEdit>(dialog, QString::fromLatin1(field));
    edit->clear();
    QTest::keyClicks(edit, text);
}

inline void click(QWidget* dialog, const char* button)
{
    QTest::mouseClick(child<QPushButton>(dialog, QString::fromLatin1(button)), Qt::LeftButton);
}

} // namespace ModalDriver
