// The companion viewer's "bwval.dat", which names its site database.

#include "directory/SiteImport.h"
#include "FuzzEnvironment.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEnvironment& environment = FuzzEnvironment::get();
    environment.writeFile(QStringLiteral("bwval.dat"),
                          QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QString folder = environment.file(QString());
    const QString path = FindSiteDatabasePath(folder.endsWith(u'/') ? folder : folder + u'/');
    FUZZ_CHECK(!path.isEmpty());
    return 0;
}
