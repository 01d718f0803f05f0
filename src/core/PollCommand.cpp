#include "core/PollCommand.h"

#include "comm/DialUpLink.h"
#include "core/PollCycle.h"
#include "core/UnitListLoader.h"
#include "directory/AddressListFile.h"
#include "directory/TimeZones.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char* const kDescription = "Runs one poll cycle of VigilStat without a window.";

const char* const kDetails = R"(
The selected units of the unit address list are visited one per second, or as many at once as
--parallel or the setting "ConcurrentUnits" says, as in VigilStat, with its settings and files: the report file (with its rolling number) in the report folder, the
exception event log, and the automatic print when it is set. The live report goes to standard
output, messages to standard error; a question takes the answer that changes nothing (No,
Cancel). SIGINT or SIGTERM stops the cycle as the Stop button does: the unit being talked to
finishes, a dial-up line is hung up, and no report is saved.

Each run starts afresh, as VigilStat does when it starts: exceptions that compare a poll with
the one before (clock difference, reboot, archive status, software, disk capacity and hardware
changes, first successful connection) need a running VigilStat.

Exit status:
  0  every selected unit answered (also when none is selected)
  1  some selected unit failed, or the cycle was stopped
  2  usage error, or the address list could not be read or holds no unit

Environment:
  VIGILSTAT_REGISTRY_DIR  the settings folder (default ~/.config/vigilstat/registry)
  VIGILSTAT_HOME          the program folder: exception event log, default report folder
  VIGILSTAT_PRINT_PDF     print into this PDF file instead of on the default printer
  VIGILSTAT_PPP_PEERS     the folder of the dial-up peer entry (default /etc/ppp/peers)
)";

} // namespace

PollCommand::PollCommand(QTextStream& report, QTextStream& messages, QObject* parent)
    : QObject(parent), m_report(report), m_messages(messages)
{}

PollCommand::~PollCommand() = default;

std::optional<int> PollCommand::parse(const QStringList& arguments, Options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    // Not addHelpOption(): its --help-all lists Qt's window options, which mean nothing here.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption sync(
        QStringLiteral("sync"),
        QStringLiteral("Set the units' clocks (unit time synchronization) instead of "
                       "retrieving their status."));
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("Poll the units of this address list file instead of the one the "
                       "setting \"IPFileName\" names."),
        QStringLiteral("FILE.ipl"));
    const QCommandLineOption parallel(
        QStringLiteral("parallel"),
        QStringLiteral("Poll this many units at once (1 to 256) instead of the number the "
                       "setting \"ConcurrentUnits\" gives."),
        QStringLiteral("N"));
    parser.addOptions({sync, list, parallel});

    const QString name = QCoreApplication::applicationName();
    const auto usageError = [&](const QString& text) {
        m_messages << name << ": " << text << Qt::endl
                   << "Try '" << name << " --help' for more information." << Qt::endl;
        return UsageError;
    };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        // The usage line names the command, not the path it was started by.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u'\n'),
                     QStringLiteral("Usage: ") + name + QStringLiteral(" [options]"));
        m_report << text << kDetails << Qt::flush;
        return AllSucceeded;
    }
    if (parser.isSet(version)) {
        m_report << name << ' ' << QCoreApplication::applicationVersion() << Qt::endl;
        return AllSucceeded;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument: ") +
                          parser.positionalArguments().constFirst());
    if (parser.values(list).size() > 1)
        return usageError(QStringLiteral("--list may be given once"));
    if (parser.isSet(list) && parser.value(list).isEmpty())
        return usageError(QStringLiteral("--list needs a file name"));
    if (parser.isSet(parallel)) {
        bool number = false;
        options.concurrentUnits = parser.value(parallel).toInt(&number);
        if (!number || options.concurrentUnits < 1 ||
            options.concurrentUnits > Settings::kMaxConcurrentUnits)
            return usageError(QStringLiteral("--parallel takes a number from 1 to 256"));
    }

    options.sync = parser.isSet(sync);
    // A path on the command line is the shell's, taken from the working folder.
    if (parser.isSet(list))
        options.listPath = QFileInfo(parser.value(list)).absoluteFilePath();
    return std::nullopt;
}

void PollCommand::run(const QStringList& arguments)
{
    if (m_finished)
        return;
    Options options;
    if (const std::optional<int> code = parse(arguments, options))
        return finish(*code);

    TakePcTimeZone();
    m_settings.LoadSettings();
    if (!loadList(options))
        return finish(UsageError);

    m_dialUp = new DialUpLink(m_settings, this);
    m_cycle = new PollCycle(m_settings, m_units, m_dialUp, this);
    m_cycle->setConcurrentUnits(options.concurrentUnits);
    connect(m_cycle, &PollCycle::reportLine, this,
            [this](const QString& line) { m_report << line << Qt::endl; });
    connect(m_cycle, &PollCycle::exceptionNotification, this, [this] {
        m_messages << QCoreApplication::applicationName() << ": VigilStat-Exception Log Updated!"
                   << Qt::endl;
    });
    connect(m_cycle, &PollCycle::cycleEnded, this, &PollCommand::onCycleEnded);
    // An empty list is told ("No Unit Address list loaded!") and starts nothing.
    if (!m_cycle->Start(options.sync ? 1 : 0))
        finish(UsageError);
}

bool PollCommand::loadList(const Options& options)
{
    if (options.listPath.isEmpty())
        return UnitListLoader(m_units, m_settings).load();
    return LoadAddressList(options.listPath, m_units) == AddressListLoad::Loaded;
}

void PollCommand::stop()
{
    if (!m_cycle) {
        finish(SomeFailed);
        return;
    }
    if (m_cycle->isRunning()) {
        m_stopped = true;
        m_cycle->Stop();
    }
}

void PollCommand::onCycleEnded()
{
    if (m_stopped)
        return finish(SomeFailed);
    const UnitStatusTable& table = m_cycle->table();
    for (int slot = 0; slot < UnitStatusTable::kSlots; ++slot) {
        if (table[slot].attempted && table[slot].resultCode != 1)
            return finish(SomeFailed);
    }
    finish(AllSucceeded);
}

void PollCommand::finish(int exitCode)
{
    if (m_finished)
        return;
    m_finished = true;
    m_report.flush();
    m_messages.flush();
    Q_EMIT finished(exitCode);
}
