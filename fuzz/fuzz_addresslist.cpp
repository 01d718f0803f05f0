// The unit address list file as a damaged or hand-edited file. Whatever loads must survive a
// save and a second load unchanged, apart from what the format cannot carry.

#include "directory/AddressListFile.h"
#include "directory/UnitPassword.h"
#include "FuzzEnvironment.h"

namespace {

// What a save makes of a record: a quote becomes an apostrophe, except in the password, which
// is written encoded; a password the file cannot carry is written blank.
UnitRecord asSaved(UnitRecord record)
{
    for (QString* field : {&record.DataStr, &record.Descript, &record.TimeZone, &record.DST,
                           &record.Status, &record.Syn})
        field->replace(u'"', u'\'');
    if (!IsStorableUnitPassword(record.Password))
        record.Password.clear();
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEnvironment& environment = FuzzEnvironment::get();
    const QString path =
        environment.writeFile(QStringLiteral("IPAddressList.ipl"),
                              QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    UnitAddressList list;
    if (LoadAddressList(path, list) == AddressListLoad::UnknownFormat) {
        FUZZ_CHECK(list.count() == 0);
        return 0;
    }
    FUZZ_CHECK(list.count() <= UnitAddressList::kMaxUnits);

    FUZZ_CHECK(SaveAddressList(path, list));
    UnitAddressList again;
    FUZZ_CHECK(LoadAddressList(path, again) == AddressListLoad::Loaded);
    FUZZ_CHECK(again.count() == list.count());
    for (int i = 0; i < list.count(); ++i) {
        FUZZ_CHECK(again.record(i) == asSaved(list.record(i)));
    }
    return 0;
}
