#include "platform/PppDialUp.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

namespace {

const QString systemPeersFolder = QStringLiteral("/etc/ppp/peers");
constexpr int MaxLogLine = 4096; // pppd and chat write short lines; anything longer is cut
constexpr int KillAfterMs = 10000;

// Where a program is, whether or not this user may run it: pppd is often executable only by
// the group "dip", and that is worth telling apart from a missing pppd.
QString findProgram(const QString& name)
{
    QStringList folders = qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts);
    folders << QStringLiteral("/usr/sbin") << QStringLiteral("/sbin") << QStringLiteral("/usr/bin");
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

QString shellQuoted(QString word)
{
    return u'\'' + word.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

// pppd exits 8 when the connect script failed; chat then names the ABORT string it met.
qint32 errorForExit(int exitCode, const QString& chatFailure)
{
    if (exitCode == 8) {
        if (chatFailure == u"BUSY")
            return DialUp::ErrorLineBusy;
        if (chatFailure == u"NO DIALTONE")
            return DialUp::ErrorNoDialtone;
        if (chatFailure == u"NO CARRIER")
            return DialUp::ErrorPortOrDevice;
        if (chatFailure == u"ERROR")
            return DialUp::ErrorDevice;
        return DialUp::ErrorNoAnswer; // chat's time-out
    }
    switch (exitCode) {
    case 0:
    case 5:
        return 0; // the link ended without a fault of its own
    case 2:
        return DialUp::ErrorCannotOpenPhonebook;
    case 3:
        return DialUp::ErrorAccessDenied;
    case 4:
        return DialUp::ErrorHardwareFailure;
    case 6:
    case 7:
        return DialUp::ErrorPortOrDevice;
    case 11:
    case 19:
        return DialUp::ErrorAuthentication;
    case 16:
        return DialUp::ErrorPortDisconnected;
    default:
        return DialUp::ErrorNoConnection;
    }
}

} // namespace

// One pppd process and what its log has told so far.
class PppDialUp::Link : public QObject
{
public:
    Link(PppDialUp* owner, const QString& program, const QStringList& arguments)
        : QObject(owner), m_owner(owner)
    {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardInputFile(QProcess::nullDevice());
        QObject::connect(&m_process, &QProcess::started, this,
                         [this] { m_owner->onLinkEvent(this, StateConnecting, 0); });
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, this,
                         [this] { readLog(); });
        QObject::connect(&m_process, &QProcess::finished, this,
                         [this](int exitCode, QProcess::ExitStatus status) {
                             readLog();
                             const bool crashed = status == QProcess::CrashExit;
                             end(crashed ? ErrorNoConnection
                                         : errorForExit(exitCode, m_chatFailure));
                         });
        QObject::connect(&m_process, &QProcess::errorOccurred, this,
                         [this](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart)
                                 end(ErrorAccessDenied);
                         });
        m_killTimer.setSingleShot(true);
        QObject::connect(&m_killTimer, &QTimer::timeout, this, [this] { m_process.kill(); });
    }

    ~Link() override
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.disconnect(this);
        // Give pppd the chance to hang the modem up before the program goes.
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(1000);
        }
    }

    void start() { m_process.start(); }

    void hangUp()
    {
        if (m_ended || m_hungUp)
            return;
        m_hungUp = true;
        m_process.terminate();
        m_killTimer.start(KillAfterMs);
    }

private:
    void readLog()
    {
        m_partial += m_process.readAllStandardOutput();
        qsizetype end;
        while ((end = m_partial.indexOf('\n')) >= 0 || m_partial.size() > MaxLogLine) {
            const qsizetype take = end >= 0 ? qMin<qsizetype>(end, MaxLogLine) : MaxLogLine;
            const QString line = QString::fromLocal8Bit(m_partial.left(take)).trimmed();
            m_partial.remove(0, end >= 0 ? end + 1 : take);
            takeLine(line);
        }
    }

    void takeLine(const QString& line)
    {
        // chat's own words: "Failed (BUSY)", and its report "chat:  <date> CONNECT 14400".
        static const QRegularExpression failure(QStringLiteral("\\bFailed \\(([^)]*)\\)$"));
        static const QRegularExpression report(
            QStringLiteral("^chat:.*\\bCONNECT\\b(?:\\s+(\\d{1,9}))?"));
        if (const auto m = failure.match(line); m.hasMatch()) {
            m_chatFailure = m.captured(1);
        } else if (const auto r = report.match(line); r.hasMatch()) {
            m_owner->onLinkSpeed(this, r.captured(1).toInt());
            m_owner->onLinkEvent(this, StateDeviceConnected, 0);
        } else if (line.startsWith(u"Connect: ")) {
            m_owner->onLinkEvent(this, StateAllDevicesConnected, 0);
        } else if (line.contains(u"authentication succeeded")) {
            m_owner->onLinkEvent(this, StateAuthenticated, 0);
        } else if (line.startsWith(u"remote IP address") && !m_connected) {
            m_connected = true;
            m_owner->onLinkEvent(this, StateConnected, 0);
        }
    }

    void end(qint32 error)
    {
        if (m_ended)
            return;
        m_ended = true;
        m_killTimer.stop();
        if (m_hungUp)
            error = ErrorUserDisconnected;
        m_owner->onLinkEvent(this, StateDisconnected, error);
        m_owner->onLinkFinished(this);
    }

    PppDialUp* m_owner;
    QProcess m_process;
    QTimer m_killTimer;
    QByteArray m_partial;
    QString m_chatFailure;
    bool m_connected = false;
    bool m_hungUp = false;
    bool m_ended = false;
};

PppDialUp::PppDialUp(QObject* parent) : DialUp(parent), m_peersFolder(defaultPeersFolder()) {}

PppDialUp::~PppDialUp()
{
    qDeleteAll(m_links);
}

QString PppDialUp::defaultPeersFolder()
{
    const QString configured = qEnvironmentVariable("VIGILSTAT_PPP_PEERS");
    return configured.isEmpty() ? systemPeersFolder : configured;
}

bool PppDialUp::isDiallable(const QString& number)
{
    static const QRegularExpression allowed(QStringLiteral("^[0-9 \\-+#*,()]+$"));
    return number.size() <= MaxNumberLength && allowed.match(number).hasMatch();
}

bool PppDialUp::isValidEntryName(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.-]{0,63}$"));
    return plain.match(name).hasMatch();
}

QString PppDialUp::findEntryFile(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(name)).isFile())
        return dir.filePath(name);
    const QStringList files = dir.entryList(QDir::Files | QDir::Readable | QDir::Hidden);
    for (const QString& file : files) {
        if (file.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(file);
    }
    return {};
}

qint32 PppDialUp::validateEntry(const QString& name)
{
    if (!isValidEntryName(name))
        return EntryNameInvalid;
    return findEntryFile(m_peersFolder, name).isEmpty() ? EntryMissing : EntryExists;
}

qint32 PppDialUp::createEntry()
{
    if (!QFileInfo(m_peersFolder).isDir() || !m_entryEditor)
        return ErrorNotInstalled;
    return m_entryEditor(m_peersFolder);
}

qint32 PppDialUp::dial(const DialParams& params)
{
    if (!isDiallable(params.phoneNumber))
        return ErrorInvalidNumber;
    const QString pppd = findProgram(QStringLiteral("pppd"));
    const QString chat = findProgram(QStringLiteral("chat"));
    if (pppd.isEmpty() || chat.isEmpty())
        return ErrorNotInstalled;
    if (!QFileInfo(pppd).isExecutable())
        return ErrorAccessDenied;
    if (!isValidEntryName(params.entryName))
        return ErrorEntryNotFound;
    const QString entryFile = findEntryFile(m_peersFolder, params.entryName);
    if (entryFile.isEmpty())
        return ErrorEntryNotFound;

    m_linkSpeed = 0;
    auto* link = new Link(this, pppd, pppdArguments(entryFile, chat, params));
    m_links.append(link);
    m_current = link;
    link->start();
    return 0;
}

QStringList PppDialUp::pppdArguments(const QString& entryFile, const QString& chatProgram,
                                     const DialParams& params) const
{
    // Only entries in pppd's own peers folder are trusted with privileged options by "call".
    const QFileInfo entry(entryFile);
    QStringList arguments;
    if (QFileInfo(m_peersFolder).canonicalFilePath() == systemPeersFolder)
        arguments << QStringLiteral("call") << entry.fileName();
    else
        arguments << QStringLiteral("file") << entry.absoluteFilePath();

    const QStringList script = {
        chatProgram,
        QStringLiteral("-s"),
        QStringLiteral("ABORT"),
        QStringLiteral("BUSY"),
        QStringLiteral("ABORT"),
        QStringLiteral("NO DIALTONE"),
        QStringLiteral("ABORT"),
        QStringLiteral("NO CARRIER"),
        QStringLiteral("ABORT"),
        QStringLiteral("ERROR"),
        QStringLiteral("REPORT"),
        QStringLiteral("CONNECT"),
        QStringLiteral("TIMEOUT"),
        QStringLiteral("10"),
        QString(),
        QStringLiteral("ATZ"),
        QStringLiteral("OK"),
        QStringLiteral("ATDT") + params.phoneNumber,
        QStringLiteral("TIMEOUT"),
        QStringLiteral("60"),
        QStringLiteral("CONNECT"),
        QStringLiteral("\\c"),
    };
    QStringList quoted;
    for (const QString& word : script)
        quoted << shellQuoted(word);

    arguments << QStringLiteral("nodetach") << QStringLiteral("maxfail") << QStringLiteral("1")
              << QStringLiteral("user") << params.userName << QStringLiteral("password")
              << params.password << QStringLiteral("remotenumber") << params.phoneNumber
              << QStringLiteral("connect") << quoted.join(u' ');
    return arguments;
}

int PppDialUp::connectionCount() const
{
    return int(m_links.size());
}

void PppDialUp::hangUp()
{
    for (Link* link : std::as_const(m_links))
        link->hangUp();
}

QString PppDialUp::errorString(qint32 code) const
{
    switch (code) {
    case ErrorNotInstalled:
        return QStringLiteral("pppd and chat, the dial-up programs, are not installed");
    case ErrorAccessDenied:
        return QStringLiteral("Access was denied: you may not start pppd (is your account in "
                              "the group 'dip'?)");
    case ErrorInvalidNumber:
        return QStringLiteral("The phone number may hold only digits, blanks and - + # * , ( ) "
                              "and at most 64 characters");
    case ErrorEntryNotFound:
        return QStringLiteral("The dial-up entry was not found in ") + m_peersFolder;
    default:
        return {};
    }
}

void PppDialUp::onLinkEvent(Link* link, qint32 state, qint32 error)
{
    if (link == m_current)
        Q_EMIT notification(state, error);
}

void PppDialUp::onLinkSpeed(Link* link, qint32 bitsPerSecond)
{
    if (link == m_current)
        m_linkSpeed = bitsPerSecond;
}

void PppDialUp::onLinkFinished(Link* link)
{
    m_links.removeOne(link);
    if (link == m_current)
        m_current = nullptr;
    link->deleteLater();
}
