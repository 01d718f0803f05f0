#include "FuzzEnvironment.h"

#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

void dropMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

FuzzEnvironment& FuzzEnvironment::get()
{
    static FuzzEnvironment environment;
    return environment;
}

FuzzEnvironment::FuzzEnvironment()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // lives as long as the process
    qInstallMessageHandler(dropMessages);

    if (!m_dir.isValid())
        fuzzFailure("no temporary folder");
    m_folder.where = QDir(m_dir.path()).filePath(QStringLiteral("program"));
    QDir().mkpath(m_folder.where);
    clock.utc = QDateTime(QDate(2024, 3, 9), QTime(14, 30, 5), Qt::UTC);
    freshRegistry();
}

QString FuzzEnvironment::file(const QString& name) const
{
    return QDir(m_folder.where).filePath(name);
}

QString FuzzEnvironment::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString path = file(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        fuzzFailure("cannot write the input file");
    return path;
}

Registry& FuzzEnvironment::freshRegistry()
{
    // Two folders in turn, emptied each time: the INI reader caches a parsed file by its path,
    // size and millisecond time, so one path rewritten within a millisecond could read stale.
    const QString root =
        QDir(m_dir.path()).filePath(QStringLiteral("registry%1").arg(m_registryGeneration++ % 2));
    QDir(root).removeRecursively();
    QDir().mkpath(root);
    m_registry = std::make_unique<IniRegistry>(root);
    install();
    return *m_registry;
}

void FuzzEnvironment::install()
{
    PlatformServices services;
    services.registry = m_registry.get();
    services.prompts = &prompts;
    services.clock = &clock;
    services.locale = &locale;
    services.programFolder = &m_folder;
    Platform::install(services);
}

PromptAnswer FuzzEnvironment::QuietPrompts::ask(const Prompt&)
{
    ++shown;
    return answer;
}

quint8 FuzzInput::byte()
{
    return m_pos < m_size ? m_data[m_pos++] : 0;
}

quint16 FuzzInput::word()
{
    const quint8 low = byte();
    return quint16(low | (byte() << 8));
}

QByteArray FuzzInput::piece()
{
    const size_t announced = word();
    const size_t length = qMin(announced, m_size - qMin(m_pos, m_size));
    QByteArray bytes(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(length));
    m_pos += length;
    return bytes;
}

QByteArray FuzzInput::rest()
{
    if (m_pos >= m_size)
        return {};
    QByteArray bytes(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(m_size - m_pos));
    m_pos = m_size;
    return bytes;
}

void fuzzFailure(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
