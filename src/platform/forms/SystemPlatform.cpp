#include "platform/forms/SystemPlatform.h"

#include "platform/Platform.h"

SystemPlatform::SystemPlatform(Prompts& prompts, FileDialogs* fileDialogs)
    : m_registry(IniRegistry::defaultRoot())
{
    PlatformServices services;
    services.registry = &m_registry;
    services.prompts = &prompts;
    services.clock = &m_clock;
    services.locale = &m_locale;
    services.programFolder = &m_programFolder;
    services.launcher = &m_launcher;
    services.fileDialogs = fileDialogs;
    services.printer = &m_printer;
    services.dialUp = &m_dialUp;
    services.siteDatabase = &m_siteDatabase;
    services.spreadsheet = &m_spreadsheet;
    Platform::install(services);
}
