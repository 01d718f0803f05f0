#pragma once

#include <QObject>
#include <QString>

class Settings;

// Stand-in for the dial-up link until it lands: every dial fails at once.
class DialUpLink : public QObject
{
    Q_OBJECT

public:
    explicit DialUpLink(const Settings& settings, QObject* parent = nullptr);
    void setCycleActive(bool active) { m_cycleActive = active; }
    void DialNumber(const QString& phoneNumber);
    void HangUp();
    QString farEndAddress() const { return QStringLiteral("1.1.1.1"); }
    bool isBusy() const { return false; }

Q_SIGNALS:
    void dialFinished(qint32 result);
    void hungUp();
    void progressShown(const QString& caption);
    void progressText(const QString& text);
    void progressClosed();

public:
    void cancelFromProgress() {}

private:
    bool m_cycleActive = false;
};
