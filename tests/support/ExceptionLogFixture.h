#pragma once

#include "exceptions/DetectionMemory.h"
#include "exceptions/ExceptionLogViews.h"
#include "platform/Clock.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"
#include "TestFiles.h"

#include <optional>

// The exception tests' program: its folder with fresh settings, the clock at noon GMT, and
// nothing remembered of earlier polls or loads. setUp() in init(), tearDown() in cleanup().
struct ExceptionLogFixture
{
    static inline const QDateTime kNow = wallClock(QDate(2026, 6, 15), QTime(12, 0));

    void setUp()
    {
        m_platform.emplace();
        m_platform->clock.utc = kNow;
        m_settings.emplace();
        m_settings->LoadSettings();
        DetectionMemory::shared().clear();
        ExceptionLogViews::shared().clear();
    }
    void tearDown()
    {
        m_settings.reset();
        m_platform.reset();
    }

    QString logPath() const { return m_settings->exceptionLogPath(); }
    // A log record as the program writes it.
    QByteArray line(const QString& address, const QDateTime& time, const QString& codes,
                    const QString& alarm = {}, const QString& vidloss = {},
                    const QString& description = QStringLiteral("Lobby")) const
    {
        return QStringLiteral("\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\"\r\n")
            .arg(address, description, m_platform->locale.generalDateTimeText(time), codes, alarm,
                 vidloss)
            .toLatin1();
    }
    void writeLog(const QByteArray& log) const { TestFiles::write(logPath(), log); }

    // The lines of a file the program wrote, and of the golden file under tests/data/exceptions/
    // it must equal: both end each line with a line end.
    static QStringList linesOf(const QString& path)
    {
        return QString::fromUtf8(TestFiles::read(path)).split(QStringLiteral("\r\n"));
    }
    static QStringList golden(const char* name)
    {
        const QString path = QStringLiteral("../data/exceptions/") + QLatin1StringView(name);
        return QString::fromUtf8(TestFiles::read(QFINDTESTDATA(path))).split(u'\n');
    }

    std::optional<ScriptedPlatform> m_platform;
    std::optional<Settings> m_settings;
};
