#pragma once

class Registry;
class Prompts;
class Clock;
class Locale;
class ProgramFolder;
class Launcher;
class FileDialogs;
class Printer;
class DialUp;
class SiteDatabase;
class Spreadsheet;

// The adapters in force for the whole process. main() installs the real ones; tests install
// scripted ones (tests/support) and restore the previous set when they finish. The program
// does not own them.
struct PlatformServices
{
    Registry* registry = nullptr;
    Prompts* prompts = nullptr;
    Clock* clock = nullptr;
    Locale* locale = nullptr;
    ProgramFolder* programFolder = nullptr;
    Launcher* launcher = nullptr;
    FileDialogs* fileDialogs = nullptr;
    Printer* printer = nullptr;
    DialUp* dialUp = nullptr;
    SiteDatabase* siteDatabase = nullptr;
    Spreadsheet* spreadsheet = nullptr;
};

namespace Platform {

// Replaces the installed set and returns the one it replaced.
PlatformServices install(const PlatformServices& services);
const PlatformServices& services();

// Each aborts with a clear message when its adapter was never installed: a programming error.
Registry& registry();
Prompts& prompts();
Clock& clock();
Locale& locale();
ProgramFolder& programFolder();
Launcher& launcher();
FileDialogs& fileDialogs();
Printer& printer();
DialUp& dialUp();
SiteDatabase& siteDatabase();
Spreadsheet& spreadsheet();

} // namespace Platform
