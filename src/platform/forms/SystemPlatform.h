#pragma once

#include "platform/Clock.h"
#include "platform/forms/QtPrinter.h"
#include "platform/Launcher.h"
#include "platform/Locale.h"
#include "platform/PppDialUp.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/SiteDatabase.h"
#include "platform/Spreadsheet.h"

class FileDialogs;
class Prompts;

// The real adapters of the programs, installed as the platform; it must outlive their use.
class SystemPlatform
{
public:
    // The window program brings its message boxes and file dialogs; the command line program
    // its unattended answers and no file dialogs.
    explicit SystemPlatform(Prompts& prompts, FileDialogs* fileDialogs = nullptr);
    SystemPlatform(const SystemPlatform&) = delete;
    SystemPlatform& operator=(const SystemPlatform&) = delete;

    PppDialUp& dialUp() { return m_dialUp; }

private:
    IniRegistry m_registry;
    SystemClock m_clock;
    SystemLocale m_locale;
    SystemProgramFolder m_programFolder;
    DesktopLauncher m_launcher;
    QtPrinter m_printer;
    PppDialUp m_dialUp;
    MdbSiteDatabase m_siteDatabase;
    XlsxSpreadsheet m_spreadsheet;
};
