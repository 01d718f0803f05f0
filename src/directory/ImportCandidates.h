#pragma once

#include "directory/UnitAddressList.h"

#include <QString>
#include <QStringList>

// How a site that comes without a time zone gets one.
enum class TimeZoneOption {
    LocalTime,   // the PC's zone
    GmtTime,     // "GMT"
    StateFilter, // the zone of the site's US state; the PC's zone for list files
};

// The zone a list file's site gets under the option, and that zone's default DST name.
QString ListFileTimeZone(TimeZoneOption option);
QString DefaultDstName(const QString& zone);

// The sites offered for import, as parallel lists, and the row that shows each: the
// description padded to a fixed width, then the address. Read into from the companion viewer's
// connection list and from list files; bounded, so repeated reading cannot grow it without end.
class ImportCandidates
{
public:
    static constexpr int kMaxCandidates = 10 * UnitAddressList::kMaxUnits;
    static constexpr int kDescriptionWidth = 43;
    // Address books with passwords have always been shown two characters narrower.
    static constexpr int kNarrowDescriptionWidth = 41;

    QStringList lstDataStr;
    QStringList lstDescript;
    QStringList lstPassW;
    QStringList lstType; // "0" Ethernet, "1" POTS
    QStringList lstTimeZone;
    QStringList lstDST;
    QStringList lstStatus;
    QStringList lstSyn;
    QStringList List1; // the rows

    int count() const { return static_cast<int>(lstDataStr.size()); }
    bool isFull() const { return count() >= kMaxCandidates; }
    // False, adding nothing, when the list is full.
    bool append(const UnitRecord& site, const QString& type,
                int descriptionWidth = kDescriptionWidth);
    UnitRecord site(int i) const;
    void clear();

    // The companion viewer's own connection list ("SVControl"), with the PC's zone.
    void LoadConnectionList();
    // Appends the sites of a list file: an address book when the name ends in ".lst", values
    // with a header row when it ends in ".csv", else an address list file. Tells the user when
    // the file cannot be read; the sites read before stay.
    void ReadListFile(const QString& path, TimeZoneOption option);

private:
    enum class Read { Done, Failed, UnknownFormat, Full };
    Read readAddressBook(const QString& path, const QString& zone);
    Read readAddressList(const QString& path, const QString& zone);
    Read readValues(const QString& path, const QString& zone);
};
