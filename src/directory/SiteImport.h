#pragma once

#include "directory/ImportCandidates.h"
#include "directory/UnitAddressList.h"

#include <functional>
#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// Where imported sites go: the shared unit address list, through a function that appends a
// record to it together with its row on screen.
struct ImportTarget
{
    const UnitAddressList& units;
    std::function<void(const UnitRecord&)> append;
    // Switched on for a long database import, and off again.
    std::function<void(bool)> busy = [](bool) {};
};

// What one import did. notExamined counts the sites left over when the list filled up.
struct ImportTally
{
    int examined = 0;
    int added = 0;
    int notExamined = 0;
    bool limitReached = false;
    bool fromDatabase = false;
};

// Validates one site and appends it; false for an invalid address, or one already listed.
// Type "1" is a POTS unit, any other an Ethernet unit.
bool AddSiteToDatabaseSuccessfully(ImportTarget& target, const QString& description,
                                   const QString& address, const QString& password,
                                   const QString& type, const QString& timeZone, const QString& dst,
                                   const QString& status, const QString& sync);

// Imports the candidates of the given rows, in ascending order, until the list is full.
ImportTally ImportSelectedSites(const ImportCandidates& candidates, const QList<int>& rows,
                                TimeZoneOption option, ImportTarget& target);

// Imports every site of the companion viewer's site database. Nothing, after telling the user,
// when it is not installed, its database is empty or cannot be read.
std::optional<ImportTally> ImportSiteDatabase(TimeZoneOption option, ImportTarget& target);

// The summary message, and the box that shows it.
QString ImportSummary(const ImportTally& tally);
void ShowImportSummary(const ImportTally& tally);

// The site database's path from "bwval.dat" in the viewer's folder (ending in a separator),
// else "SVSecurity.mdb" in that folder.
QString FindSiteDatabasePath(const QString& folder);
// The value of the first KEY=VALUE line whose key matches, trimmed and without regard to case;
// the value is not trimmed. "" when there is none.
QString ReadIniValue(const QString& key, const QStringList& lines);
// A text value of the current user's registry: subkey, then value name; defaultValue when the
// value is missing. The text ends at its first NUL character.
QString RegistryStringValue(const QString& subkey, const QString& valueName,
                            const QString& defaultValue);
