#include "platform/Platform.h"

#include <QtGlobal>

namespace {

PlatformServices g_services;

template <typename T> T& required(T* adapter, const char* name)
{
    if (!adapter)
        qFatal("VigilStat: the %s adapter is not installed", name);
    return *adapter;
}

} // namespace

namespace Platform {

PlatformServices install(const PlatformServices& services)
{
    const PlatformServices previous = g_services;
    g_services = services;
    return previous;
}

const PlatformServices& services()
{
    return g_services;
}

Registry& registry()
{
    return required(g_services.registry, "registry");
}
Prompts& prompts()
{
    return required(g_services.prompts, "prompts");
}
Clock& clock()
{
    return required(g_services.clock, "clock");
}
Locale& locale()
{
    return required(g_services.locale, "locale");
}
ProgramFolder& programFolder()
{
    return required(g_services.programFolder, "program folder");
}
Launcher& launcher()
{
    return required(g_services.launcher, "launcher");
}
FileDialogs& fileDialogs()
{
    return required(g_services.fileDialogs, "file dialogs");
}
Printer& printer()
{
    return required(g_services.printer, "printer");
}
DialUp& dialUp()
{
    return required(g_services.dialUp, "dial-up");
}
SiteDatabase& siteDatabase()
{
    return required(g_services.siteDatabase, "site database");
}
Spreadsheet& spreadsheet()
{
    return required(g_services.spreadsheet, "spreadsheet");
}

} // namespace Platform
