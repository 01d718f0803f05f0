#include "ScriptedPlatform.h"

ScriptedPlatform::ScriptedPlatform()
{
    m_previous = Platform::services();
    install();
}

ScriptedPlatform::~ScriptedPlatform()
{
    Platform::install(m_previous);
}

void ScriptedPlatform::install(const PlatformServices& extra)
{
    PlatformServices s = extra;
    s.registry = &registry;
    s.prompts = &prompts;
    s.clock = &clock;
    s.locale = &locale;
    s.programFolder = &programFolder;
    s.launcher = &launcher;
    s.fileDialogs = &fileDialogs;
    s.printer = &printer;
    s.dialUp = &dialUp;
    s.spreadsheet = &spreadsheet;
    Platform::install(s);
}
