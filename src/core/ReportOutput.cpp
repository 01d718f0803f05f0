#include "core/ReportOutput.h"

#include "core/ReportFileName.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/Launcher.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/Printer.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

QString noDataMessage(int operatingMode)
{
    return operatingMode == 1
               ? QStringLiteral(
                     "There is no valid data available. Please Synchronize the units first!")
               : QStringLiteral("There is no valid data available. Please Poll the units first!");
}

} // namespace

ReportOutput::ReportOutput(Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{}

QString ReportOutput::now() const
{
    return Platform::locale().generalDateTimeText(Platform::clock().localNow());
}

ReportOutput::SaveResult ReportOutput::SaveReportFile(const CycleReport& report)
{
    const bool rolling = m_settings.option(Settings::Option::FileSaveOption) == 1;
    const qint16 number = m_settings.rollingNumber();
    const QString name = ReportFileName::fileName(m_settings.reportFileName(), rolling, number);
    const QString path = ReportFileName::path(m_settings.reportSaveFolder(), name);

    const QByteArray text = PollReport(report, now()).fileText().toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return {false, path};

    m_lastReportPath = path;
    if (rolling) {
        const qint16 next = ReportFileName::nextRollingNumber(number);
        m_settings.setRollingNumber(next);
        Q_EMIT rollingNumberChanged(next);
    }
    return {true, path};
}

bool ReportOutput::PrintReport(const CycleReport& report)
{
    return Platform::printer().print(PollReport(report, now()).printDocument());
}

void ReportOutput::PreviewReport(int operatingMode)
{
    if (m_lastReportPath.isEmpty() || !QFileInfo::exists(m_lastReportPath)) {
        Platform::prompts().message(noDataMessage(operatingMode));
        return;
    }
    openInEditor(m_lastReportPath);
}

void ReportOutput::ChooseReport()
{
    const QString baseName = m_settings.reportFileName();
    const auto chosen = Platform::fileDialogs().openFile(
        {QStringLiteral("Choose VigilStat Report"), ReportFileName::chooserFilter(baseName),
         ReportFileName::folder(m_settings.reportSaveFolder()), QString()});
    if (chosen)
        openInEditor(*chosen);
}

void ReportOutput::PrintReportCommand(const CycleReport& report)
{
    if (!PollReport(report, QString()).hasData()) {
        Platform::prompts().message(noDataMessage(report.operatingMode));
        return;
    }
    if (PrintReport(report))
        Platform::prompts().message(QStringLiteral("Report has been printed!"));
    else
        Platform::prompts().message(
            QStringLiteral("There has been a problem printing the report.\n"
                           "Please ensure that a printer is installed on your computer!"));
}

void ReportOutput::openInEditor(const QString& path)
{
    if (!Platform::launcher().openInTextEditor(path))
        Platform::prompts().message(QStringLiteral("No text editor could be started to show ") +
                                    path + QLatin1Char('.'));
}
