#include "core/ReportOutput.h"

ReportOutput::ReportOutput(Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{}

ReportOutput::SaveResult ReportOutput::SaveReportFile(const CycleReport&)
{
    return {true, QString()};
}

bool ReportOutput::PrintReport(const CycleReport&)
{
    return false;
}

void ReportOutput::PreviewReport(int) {}
void ReportOutput::ChooseReport() {}
void ReportOutput::PrintReportCommand(const CycleReport&) {}
