#pragma once

#include "platform/DialUp.h"

#include <QHash>
#include <QList>

// Dial-up without a modem: each number gets a scripted outcome, and every dial and hang-up is
// recorded. By default a dial connects at once and the unit answers at farEnd, which a test
// points at a simulated unit.
class ScriptedDialUp : public DialUp
{
public:
    struct Step
    {
        qint32 state = StateConnected;
        qint32 error = 0;
    };
    using Steps = QList<Step>;
    struct Outcome
    {
        qint32 dialError = 0; // the dial call itself fails with this code
        Steps steps = {Step{StateConnecting, 0}, Step{}};
        qint32 speed = 0;
    };

    QString farEnd = QStringLiteral("127.0.0.1");
    qint32 entryState = EntryExists; // what validateEntry() answers
    bool createMakesEntry = true;    // what the user does in the entry window
    Outcome defaultOutcome;
    QHash<QString, Outcome> outcomes; // by phone number

    QList<DialParams> dials;
    int hangUps = 0;

    qint32 validateEntry(const QString&) override { return entryState; }
    qint32 createEntry() override;
    qint32 dial(const DialParams& params) override;
    int connectionCount() const override { return m_connections; }
    void hangUp() override;
    QString errorString(qint32) const override { return {}; }
    qint32 linkSpeed() const override { return m_speed; }
    QString farEndAddress() const override { return farEnd; }

private:
    void nextStep();

    Steps m_pending;
    int m_connections = 0;
    bool m_dialling = false;
    qint32 m_speed = 0;
};
