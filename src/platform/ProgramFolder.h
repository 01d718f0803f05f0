#pragma once

#include <QString>

// The folder that holds the exception event log, its working copies and the icon files.
class ProgramFolder
{
public:
    virtual ~ProgramFolder() = default;
    virtual QString path() const = 0;
};

// VIGILSTAT_HOME when set; else the executable's folder when it is writable; else the per-user
// data folder (an installed program's folder is usually read-only).
class SystemProgramFolder : public ProgramFolder
{
public:
    QString path() const override;
};
