#pragma once

#include <QString>

// The folder that holds the exception event log, its working copies and the icon files.
class ProgramFolder
{
public:
    virtual ~ProgramFolder() = default;
    virtual QString path() const = 0;
};

// VIGILSTAT_HOME when set; else the executable's folder when it is writable and not a system
// folder; else the per-user data folder. An installed program's folder is read-only for users, and
// a program run as root must not write into /usr.
class SystemProgramFolder : public ProgramFolder
{
public:
    QString path() const override;

    static bool isSystemFolder(const QString& folder);
};
