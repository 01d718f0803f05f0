// The site import's readers: an address book (.lst), a values file (.csv), an address list read
// for import, or the companion viewer's connection list in its settings file. What they offer is
// then imported into a unit list, which must stay within its bounds and hold valid sites only.

#include "directory/ImportCandidates.h"
#include "directory/SiteImport.h"
#include "FuzzEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// Input: a byte whose low two bits pick the reader and whose next two the time-zone option,
// then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEnvironment& environment = FuzzEnvironment::get();
    FuzzInput input(data, size);
    const quint8 choice = input.byte();
    const auto option = static_cast<TimeZoneOption>((choice >> 2) % 3);
    const QByteArray bytes = input.rest();

    ImportCandidates candidates;
    switch (choice & 3) {
    case 0:
        candidates.ReadListFile(environment.writeFile(QStringLiteral("sites.lst"), bytes), option);
        break;
    case 1:
        candidates.ReadListFile(environment.writeFile(QStringLiteral("sites.csv"), bytes), option);
        break;
    case 2:
        candidates.ReadListFile(environment.writeFile(QStringLiteral("sites.ipl"), bytes), option);
        break;
    default: {
        IniRegistry& registry = static_cast<IniRegistry&>(environment.freshRegistry());
        const QString path = registry.filePath(QStringLiteral("SVControl"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        candidates.LoadConnectionList();
    }
    }

    const int count = candidates.count();
    FUZZ_CHECK(count <= ImportCandidates::kMaxCandidates);
    for (const QStringList* list :
         {&candidates.lstDescript, &candidates.lstPassW, &candidates.lstType,
          &candidates.lstTimeZone, &candidates.lstDST, &candidates.lstStatus, &candidates.lstSyn,
          &candidates.List1})
        FUZZ_CHECK(list->size() == count);

    UnitAddressList units;
    ImportTarget target{units, [&units](const UnitRecord& record) { units.append(record); }};
    QList<int> rows;
    for (int i = 0; i < count; ++i)
        rows.append(i);
    const ImportTally tally = ImportSelectedSites(candidates, rows, option, target);
    FUZZ_CHECK(units.count() == tally.added && units.count() <= UnitAddressList::kMaxUnits);
    FUZZ_CHECK(tally.added <= tally.examined && tally.examined <= count);
    (void)ImportSummary(tally);
    return 0;
}
