#include "ScriptedDialUp.h"

#include <QTimer>

qint32 ScriptedDialUp::createEntry()
{
    if (createMakesEntry)
        entryState = EntryExists;
    return 0;
}

qint32 ScriptedDialUp::dial(const DialParams& params)
{
    dials.append(params);
    const Outcome outcome = outcomes.value(params.phoneNumber, defaultOutcome);
    if (outcome.dialError != 0)
        return outcome.dialError;
    m_connections = 1;
    m_speed = outcome.speed;
    m_pending = outcome.steps;
    m_dialling = true;
    QTimer::singleShot(0, this, &ScriptedDialUp::nextStep);
    return 0;
}

void ScriptedDialUp::hangUp()
{
    ++hangUps;
    m_connections = 0;
    if (!m_dialling)
        return;
    // A dial in progress ends the way the platform ends it.
    m_pending = {Step{StateDisconnected, ErrorUserDisconnected}};
    QTimer::singleShot(0, this, &ScriptedDialUp::nextStep);
}

// One notification per turn of the event loop, as the platform sends them.
void ScriptedDialUp::nextStep()
{
    if (m_pending.isEmpty())
        return;
    const Step step = m_pending.takeFirst();
    if (step.error != 0 || step.state == StateConnected || step.state == StateDisconnected)
        m_dialling = false;
    Q_EMIT notification(step.state, step.error);
    if (!m_pending.isEmpty())
        QTimer::singleShot(0, this, &ScriptedDialUp::nextStep);
}
