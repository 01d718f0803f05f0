// Unit passwords go to the units and nowhere else: not into the live report, the report files,
// the exception log or the simulator's output, in either operating mode, whatever the units do.

#include "ScriptedPlatform.h"
#include "SimulatedSite.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

class TestPasswordSecrecy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noPasswordLeavesTheConversation();
};

void TestPasswordSecrecy::noPasswordLeavesTheConversation()
{
    ScriptedPlatform platform;
    SimulatedSite site;
    QVERIFY(site.settings.setReportSaveFolder(platform.programFolder.path()));

    // A unit that answers, one that refuses the log-in and one that answers with garbage, each
    // with a password no report text could contain by chance.
    struct Unit
    {
        int type;
        QJsonObject faults;
        QString password;
    };
    const QList<Unit> units = {
        {0, {}, QStringLiteral("Qk7z")},
        {3, {{QStringLiteral("refuseLogin"), 2}}, QStringLiteral("Wm4x")},
        {80, {{QStringLiteral("garbage"), true}}, QStringLiteral("Jd9v")},
    };
    QJsonArray config;
    for (const Unit& unit : units) {
        const QString address = SimulatedFleet::randomLoopbackAddress().toString();
        config.append(QJsonObject{{QStringLiteral("address"), address},
                                  {QStringLiteral("type"), unit.type},
                                  {QStringLiteral("password"), unit.password},
                                  {QStringLiteral("faults"), unit.faults}});
        site.lists.append({address, QStringLiteral("Unit %1").arg(site.lists.count() + 1),
                           unit.password, QStringLiteral("GMT"), QStringLiteral("OFF"),
                           QStringLiteral("1"), QStringLiteral("1")});
    }
    const QString configPath = platform.programFolder.file(QStringLiteral("fleet.json"));
    QFile configFile(configPath);
    QVERIFY(configFile.open(QIODevice::WriteOnly));
    configFile.write(QJsonDocument(QJsonObject{{QStringLiteral("units"), config}}).toJson());
    configFile.close();

    QProcess simulator;
    simulator.start(QStringLiteral(KORVO_SIM_PATH), {QStringLiteral("--config"), configPath});
    QVERIFY(simulator.waitForReadyRead(20000));

    // What the cycles wrote: their live reports and every file they left, after each mode.
    QStringList texts;
    const QDir folder(platform.programFolder.path());
    for (int mode : {0, 1}) {
        texts << site.run(mode).join(u'\n');
        // The first unit took its password: the log-in was made.
        QVERIFY2(texts.last().contains(QStringLiteral("Successfully!")), qPrintable(texts.last()));
        for (const QString& name : folder.entryList(QDir::Files)) {
            QFile file(folder.filePath(name));
            if (name != QStringLiteral("fleet.json") && file.open(QIODevice::ReadOnly))
                texts << QString::fromLatin1(file.readAll());
        }
    }
    simulator.terminate();
    QVERIFY(simulator.waitForFinished(20000));
    texts << QString::fromUtf8(simulator.readAllStandardOutput() +
                               simulator.readAllStandardError());
    // The report file and the exception log, after each cycle, or the test would prove nothing.
    QVERIFY2(texts.size() >= 7, qPrintable(folder.entryList(QDir::Files).join(u' ')));
    for (const Unit& unit : units) {
        for (const QString& text : texts)
            QVERIFY2(!text.contains(unit.password), qPrintable(text.left(400)));
    }
}

QTEST_GUILESS_MAIN(TestPasswordSecrecy)
#include "tst_passwordsecrecy.moc"
