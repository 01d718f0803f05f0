#pragma once

#include <functional>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

// Acts on the next modal dialog once it is open: call before the code that calls exec().
// Header-only, so that core tests do not link widgets.
class ModalDriver : public QObject
{
public:
    using Action = std::function<void(QWidget*)>;

    // Runs action on the first modal widget with the given object name (any, when empty).
    static void onNext(const QString& objectName, Action action, int timeoutMs = 5000)
    {
        auto* driver = new ModalDriver(objectName, std::move(action), timeoutMs);
        driver->m_timer.start();
    }

    static void type(QWidget* dialog, const char* field, const QString& text)
    {
        auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
        QVERIFY2(edit, field);
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    // The named child of a window; a missing one ends the test run, as a typo would hang it.
    template <typename W> static W* child(QWidget* window, const QString& name)
    {
        auto* widget = window->findChild<W*>(name);
        if (!widget)
            qFatal("no child %s", qPrintable(name));
        return widget;
    }

    static void click(QWidget* dialog, const char* button)
    {
        auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
        QVERIFY2(b, button);
        QTest::mouseClick(b, Qt::LeftButton);
    }

private:
    ModalDriver(QString name, Action action, int timeoutMs)
        : m_name(std::move(name)), m_action(std::move(action)), m_left(timeoutMs / 10)
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
    }

    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && (m_name.isEmpty() || modal->objectName() == m_name)) {
            m_timer.stop();
            m_action(modal);
            deleteLater();
            return;
        }
        if (--m_left <= 0) {
            m_timer.stop();
            qWarning("ModalDriver: no modal dialog named '%s' appeared", qPrintable(m_name));
            // Close whatever blocks so the test fails instead of hanging.
            if (modal)
                modal->close();
            deleteLater();
        }
    }

    QString m_name;
    Action m_action;
    int m_left;
    QTimer m_timer;
};
