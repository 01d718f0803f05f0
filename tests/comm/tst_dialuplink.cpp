#include "comm/DialUpLink.h"
#include "comm/forms/frmDialUpProgress.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <memory>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Steps = ScriptedDialUp::Steps;
Q_DECLARE_METATYPE(Steps)

class tst_DialUpLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<DialUpLink> m_link;
    QStringList m_progress; // the progress window's texts

    ScriptedDialUp& dialUp() { return m_platform->dialUp; }

    // The result of one dial, or -1 when it came from inside the call or not at all.
    qint32 dial(const QString& number)
    {
        QSignalSpy done(m_link.get(), &DialUpLink::dialFinished);
        m_link->DialNumber(number);
        return !done.isEmpty() || !done.wait(2000) ? -1 : done.first().first().toInt();
    }

    // Each box as "title|first line".
    QStringList boxes() const
    {
        QStringList list;
        for (const Prompt& p : m_platform->prompts.shown)
            list << p.title + u'|' + p.text.section(u'\n', 0, 0);
        return list;
    }

private Q_SLOTS:
    void init()
    {
        m_link.reset(); // the old set goes before the new one is installed
        m_platform.reset();
        m_platform = std::make_unique<ScriptedPlatform>();
        m_settings = std::make_unique<Settings>();
        m_settings->LoadSettings();
        m_link = std::make_unique<DialUpLink>(*m_settings);
        m_link->setWaits({5, 10});
        m_link->setCycleActive(true);
        m_progress.clear();
        connect(m_link.get(), &DialUpLink::progressText, this,
                [this](const QString& text) { m_progress << text; });
    }

    void outcomes_data()
    {
        QTest::addColumn<Steps>("steps"); // the notifications, state and error
        QTest::addColumn<int>("speed");
        // "automatic" polling, answer "no", dial call "refused", entry "missing", "uncreated"
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("hangUps");
        QTest::addColumn<QString>("progress");

        const QString none;
        const QString slow = u"Warning|The phone line connection speed is lower than "
                             "recommended for video transmission."_s;
        QTest::newRow("connects") << Steps{{2, 0}, {8192, 0}} << 0 << QString() << 0 << none << 0
                                  << u"Connecting...|Connected!"_s;
        QTest::newRow("busy in a cycle") << Steps{{2, 0}, {2, 676}} << 0 << QString() << 3
                                         << u"Error Message|The line is busy [676]"_s << 1
                                         << u"Connecting...|Connecting... [676]"_s;
        QTest::newRow("busy, automatic polling")
            << Steps{{2, 676}} << 0 << u"automatic"_s << 3 << none << 1 << u"Connecting... [676]"_s;
        QTest::newRow("own hang-up is not repeated")
            << Steps{{8193, 631}} << 0 << QString() << 3
            << u"Error Message|User Disconnected [631]"_s << 0 << u"Disconnected. [631]"_s;
        QTest::newRow("drops while connecting") << Steps{{2, 0}, {8193, 0}} << 0 << QString() << 1
                                                << none << 1 << u"Connecting...|Disconnected."_s;
        QTest::newRow("slow line, disconnect")
            << Steps{{8192, 0}} << 14400 << QString() << 3 << slow << 0 << u"Connected!"_s;
        QTest::newRow("19200, keep")
            << Steps{{8192, 0}} << 19200 << u"no"_s << 0 << slow << 0 << u"Connected!"_s;
        QTest::newRow("slow line, automatic polling")
            << Steps{{8192, 0}} << 14400 << u"automatic"_s << 0 << none << 0 << u"Connected!"_s;
        QTest::newRow("dial refused") << Steps() << 0 << u"refused"_s << 1 << none << 0
                                      << u"Error: Error retrieving the Error string"_s;
        // No dial-up entry yet: the user is asked to make one, and the dial waits for it.
        const QString entry = u"Message|We need to create an Dial-Up Entry to use with the "
                              "VigilStat..."_s;
        const QString made = entry + u"\nInstructions|Please take note of the following before "
                                     "proceeding..."_s;
        QTest::newRow("entry declined")
            << Steps() << 0 << u"missing no"_s << 1 << entry << 0 << QString();
        QTest::newRow("entry still missing")
            << Steps() << 0 << u"missing uncreated"_s << 1
            << made + u"\nMessage|There has been a problem..."_s << 0 << QString();
        QTest::newRow("entry created")
            << Steps{{8192, 0}} << 0 << u"missing"_s << 0 << made << 0 << u"Connected!"_s;
    }

    void outcomes()
    {
        QFETCH(Steps, steps);
        QFETCH(int, speed);
        QFETCH(QString, setup);
        const QStringList options = setup.split(u' ');
        m_settings->SaveOption(Settings::Option::PollingOption, options.contains(u"automatic"));
        if (options.contains(u"no"))
            m_platform->prompts.answers.enqueue(PromptAnswer::No);
        if (options.contains(u"missing"))
            dialUp().entryState = DialUp::EntryMissing;
        dialUp().createMakesEntry = !options.contains(u"uncreated");
        const qint32 dialError = options.contains(u"refused") ? DialUp::ErrorInvalidNumber : 0;
        dialUp().outcomes.insert(u"555"_s, {dialError, steps, speed});

        QTEST(dial(u"555"_s), "result");
        QTEST(boxes().join(u'\n'), "box");
        QTEST(dialUp().hangUps, "hangUps");
        QTEST(m_progress.join(u'|'), "progress");
        QVERIFY(!m_link->isBusy());
    }

    void dialSession()
    {
        QWidget owner;
        frmDialUpProgress* window = frmDialUpProgress::attach(m_link.get(), &owner);
        QCOMPARE(window->windowTitle(), u"Dialup Screen"_s);
        QCOMPARE(dial(u"5551234567"_s), 0);
        QVERIFY(!window->isVisible()); // closed by the link: no hang-up
        QCOMPARE(dialUp().hangUps, 0);

        // A shorter number next; the line still up is hung up first.
        dialUp().outcomes.insert(u"555"_s, {0, Steps{{2, 0}}, 0});
        QSignalSpy done(m_link.get(), &DialUpLink::dialFinished);
        m_link->DialNumber(u"555"_s);
        QTRY_COMPARE(window->findChild<QLabel*>(u"lblStatus"_s)->text(), u"Connecting..."_s);
        QCOMPARE(dialUp().hangUps, 1);
        QCOMPARE(dialUp().dials.last().phoneNumber, u"555"_s);
        QCOMPARE(window->windowTitle(), u"Dialup to [555]"_s);
        QVERIFY(window->isVisible());

        QTest::mouseClick(window->findChild<QPushButton*>(u"cmdCancel"_s), Qt::LeftButton);
        QVERIFY(done.wait(2000));
        QCOMPARE(done.first().first().toInt(), 3);
        QVERIFY(!window->isVisible());
        QCOMPARE(dialUp().hangUps, 2);
        QCOMPARE(boxes(), QStringList{u"Error Message|User Disconnected [631]"_s});

        QSignalSpy hungUp(m_link.get(), &DialUpLink::hungUp);
        m_link->HangUp();
        QVERIFY(m_link->isBusy());
        QVERIFY(hungUp.wait(2000));
        QCOMPARE(hungUp.count(), 1);
        QVERIFY(!m_link->isBusy());
    }
};

QTEST_MAIN(tst_DialUpLink)
#include "tst_dialuplink.moc"
