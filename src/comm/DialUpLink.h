#pragma once

#include "platform/DialUp.h"

#include <functional>
#include <optional>
#include <QObject>
#include <QPointer>
#include <QString>

class Settings;

// The dial-up link of a conversation with a unit on a telephone line: checks (and on first use
// sets up) the peer entry, dials, follows the platform's notifications, checks the line speed
// and hangs up. Nothing here waits: outcomes come as signals, never from inside the call that
// asked for them.
class DialUpLink : public QObject
{
    Q_OBJECT

public:
    // Results of DialNumber.
    static constexpr qint32 Connected = 0;
    static constexpr qint32 NotConnected = 1;
    static constexpr qint32 Failed = 3;

    // A line at this speed or slower is too slow for video.
    static constexpr qint32 SlowLinkBitsPerSecond = 19200;

    struct Waits
    {
        int afterClearingMs = 3000; // after hanging up lines left from before
        int afterHangUpMs = 5000;
    };

    explicit DialUpLink(const Settings& settings, QObject* parent = nullptr);

    // Tests shorten the waits; the program keeps them.
    void setWaits(const Waits& waits) { m_waits = waits; }

    // The cycle-active mark: dial errors show their box only while a cycle is active and
    // automatic polling ("PollingOption") is off. Clear it when the user stops the cycle, so
    // that a dial the stop hangs up ends without a box.
    void setCycleActive(bool active) { m_cycleActive = active; }
    // Starts dialling; dialFinished(result) follows exactly once and never from inside the call:
    // 0 connected, 1 not connected (entry missing/refused, dial did not start, link dropped),
    // 3 dial error or the user chose to disconnect a slow line.
    void DialNumber(const QString& phoneNumber);
    // Hangs up the current connection, then waits 5 s (WaitAWhile); hungUp() follows once.
    void HangUp();
    QString farEndAddress() const; // the unit's end of the link, from the adapter
    bool isBusy() const;           // dialling or hanging up

    // The progress window's Cancel button or close box.
    void cancelFromProgress();

    static QString StateText(qint32 state);
    static QString ErrorText(qint32 error);

Q_SIGNALS:
    void dialFinished(qint32 result);
    void hungUp();
    // The progress window protocol; the window itself lives in forms.
    void progressShown(const QString& caption); // "Dialup to [" + number + "]"
    void progressText(const QString& text);     // ShowText
    void progressClosed();                      // UnloadMyself

private:
    enum class Phase { Idle, Preparing, Dialling, Ending };

    DialUp& adapter();
    void clearOldLines();
    void checkEntryAndDial();
    bool entryReady();
    bool setUpEntry();
    void onNotification(qint32 state, qint32 error);
    void followDial();
    void onConnected();
    void onDialError(qint32 error);
    bool speedCheckPasses();
    void finish(qint32 result);
    void releaseHeldResult();
    void hangUpAndWait(std::function<void()> then);
    void WaitAWhile(int milliseconds, std::function<void()> then);
    void closeProgress();
    bool automaticPolling() const;

    const Settings& m_settings;
    QPointer<DialUp> m_adapter;
    Waits m_waits;
    DialUp::DialParams m_params;
    Phase m_phase = Phase::Idle;
    qint32 m_state = 0; // the dial state, as the last notification left it
    qint32 m_error = 0;
    bool m_progressShown = false;
    bool m_cycleActive = false;
    int m_hangUpWaits = 0;
    // A dial that ends while a hang-up still waits reports after the wait, as it always has.
    std::optional<qint32> m_heldResult;
};
