#pragma once

#include "platform/Platform.h"
#include "platform/Spreadsheet.h"
#include "ScriptedAdapters.h"
#include "ScriptedDialUp.h"
#include "ScriptedFileDialogs.h"

// Installs a full set of scripted adapters for the lifetime of the object and puts back the
// previous set afterwards. Create one per test function (in init()) so tests never share state.
class ScriptedPlatform
{
public:
    ScriptedPlatform();
    ~ScriptedPlatform();
    ScriptedPlatform(const ScriptedPlatform&) = delete;
    ScriptedPlatform& operator=(const ScriptedPlatform&) = delete;

    ScriptedRegistry registry;
    ScriptedPrompts prompts;
    ScriptedClock clock;
    PinnedLocale locale;
    ScriptedProgramFolder programFolder;
    ScriptedLauncher launcher;
    ScriptedFileDialogs fileDialogs;
    ScriptedPrinter printer;
    ScriptedDialUp dialUp;
    XlsxSpreadsheet spreadsheet; // the real one: tests write into their temporary folders

    // Re-installs after a test replaced a field of the services (e.g. another adapter kind).
    void install(const PlatformServices& extra = {});

private:
    PlatformServices m_previous;
};
