#include "directory/SiteImport.h"

#include "directory/AddressValidation.h"
#include "directory/TimeZones.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "platform/Registry.h"
#include "platform/SiteDatabase.h"

#include <climits>
#include <QFile>

namespace {

const QString kTitle = QStringLiteral("Import");
const QString kNoneAdded = QStringLiteral("No new sites were added to the Address List.");
const QString kDatabasePassword = QStringLiteral("Tq8vNw3xLr5k");
// A locator file is a handful of lines; anything this large is not one.
constexpr qint64 kMaxLocatorSize = 1024 * 1024;
constexpr qint64 kBusyRows = 50;

// The viewer's paths are written for Windows.
QString localPath(QString path)
{
#ifndef Q_OS_WIN
    path.replace(u'\\', u'/');
#endif
    return path;
}

bool isValidAddress(const QString& address, bool pots)
{
    if (pots)
        return IsValidPhoneNumber(address) && address.size() < 15 && address.size() >= 3;
    return IsValidIpAddress(address) && IsDigitsOrSeparator(address, u'.') && address.size() < 16 &&
           address.size() >= 7;
}

// A zone and DST pair the editor could have stored, or the PC's own zone: anything else would
// set the unit's clock by a zone of no meaning.
bool isKnownZone(const QString& zone, const QString& dst)
{
    const bool knownDst = DstNameFromCode(DstCodeFromName(dst)) == dst;
    return (TimeZoneList().contains(zone) || zone == PcStartupZone().zone) && knownDst &&
           (DstCodeFromName(dst) == 0 || DstCodeFromName(dst) == DefaultDstCode(zone));
}

void tellCritical(const QString& text)
{
    Platform::prompts().message(text, kTitle, PromptIcon::Critical);
}

} // namespace

bool AddSiteToDatabaseSuccessfully(ImportTarget& target, const QString& description,
                                   const QString& address, const QString& password,
                                   const QString& type, const QString& timeZone, const QString& dst,
                                   const QString& status, const QString& sync)
{
    if (!isValidAddress(address, type == u"1") || !isKnownZone(timeZone, dst) ||
        !IsNewAddress(target.units, address))
        return false;
    target.append({address, description, password, timeZone, dst, status, sync});
    return true;
}

ImportTally ImportSelectedSites(const ImportCandidates& candidates, const QList<int>& rows,
                                TimeZoneOption option, ImportTarget& target)
{
    ImportTally tally;
    for (const int row : rows) {
        if (target.units.isFull())
            break;
        if (row < 0 || row >= candidates.count())
            continue;
        ++tally.examined;
        UnitRecord site = candidates.site(row);
        if (option == TimeZoneOption::GmtTime) {
            site.TimeZone = QStringLiteral("GMT");
            site.DST = QStringLiteral("EUR");
        }
        if (AddSiteToDatabaseSuccessfully(target, site.Descript, site.DataStr, site.Password,
                                          candidates.lstType.at(row), site.TimeZone, site.DST,
                                          site.Status, site.Syn))
            ++tally.added;
    }
    tally.limitReached = target.units.isFull();
    tally.notExamined = static_cast<int>(rows.size()) - tally.examined;
    return tally;
}

std::optional<ImportTally> ImportSiteDatabase(TimeZoneOption option, ImportTarget& target)
{
    QString folder = RegistryStringValue(QStringLiteral("strScopeVaultSpecial"),
                                         QStringLiteral("ScopeVaultPath"), QString());
    if (folder.isEmpty()) {
        Platform::prompts().message(
            QStringLiteral("No ScopeVault Ver.2.5S or later is installed on this machine!\r\n") +
                kNoneAdded,
            kTitle, PromptIcon::Information);
        return std::nullopt;
    }
    if (!folder.endsWith(u'\\') && !folder.endsWith(u'/'))
        folder += u'\\';

    QString error;
    const std::unique_ptr<SiteTable> table = Platform::siteDatabase().openSites(
        localPath(FindSiteDatabasePath(folder)), kDatabasePassword, error);
    if (!table) {
        tellCritical(error);
        return std::nullopt;
    }
    const qint64 rowCount = table->rowCount();
    if (rowCount == 0) {
        Platform::prompts().message(
            QStringLiteral("ScopeVault Site Database is empty.\r\n") + kNoneAdded, kTitle);
        return std::nullopt;
    }

    const bool busy = rowCount > kBusyRows;
    if (busy)
        target.busy(true);
    ImportTally tally;
    tally.fromDatabase = true;
    while (!target.units.isFull()) {
        const std::optional<SiteRow> row = table->next();
        if (!row)
            break;
        QString zone = PcStartupZone().zone;
        QString dst;
        if (option == TimeZoneOption::StateFilter) {
            zone = StateTimeZone(row->Address3.trimmed().toUpper());
            dst = NoDstState() ? QStringLiteral("OFF") : DefaultDstName(zone);
        } else {
            if (option == TimeZoneOption::GmtTime)
                zone = QStringLiteral("GMT");
            dst = DefaultDstName(zone);
        }
        const QString type =
            row->EthernetPOTS.trimmed() == u"POTS" ? QStringLiteral("1") : QStringLiteral("0");
        ++tally.examined;
        if (AddSiteToDatabaseSuccessfully(target, row->Description, row->PhoneIP,
                                          row->UnitPassword.trimmed(), type, zone, dst,
                                          QStringLiteral("1"), QStringLiteral("1")))
            ++tally.added;
    }
    if (busy)
        target.busy(false);
    if (!table->error().isEmpty()) {
        tellCritical(table->error());
        return std::nullopt;
    }
    tally.limitReached = target.units.isFull();
    tally.notExamined =
        static_cast<int>(qBound(qint64(0), rowCount - tally.examined, qint64(INT_MAX)));
    return tally;
}

QString ImportSummary(const ImportTally& tally)
{
    QStringList lines;
    const int duplicates = tally.examined - tally.added;
    if (duplicates == 0)
        lines.append(QString());
    else if (duplicates == 1)
        lines.append(QStringLiteral("One duplicate or invalid site was found! "));
    else
        lines.append(QString::number(duplicates) +
                     QStringLiteral(" Duplicate or invalid sites were found! "));

    if (tally.added == 0)
        lines.append(kNoneAdded);
    else if (tally.added == 1)
        lines.append(QStringLiteral("One new site was added to the Address List."));
    else
        lines.append(QString::number(tally.added) +
                     QStringLiteral(" New sites were added to the Address List."));

    if (tally.limitReached && tally.notExamined > 0) {
        QString left;
        if (tally.notExamined == 1)
            left = tally.fromDatabase ? QStringLiteral("One site was")
                                      : QStringLiteral("One selected site was");
        else
            left = QString::number(tally.notExamined) +
                   (tally.fromDatabase ? QStringLiteral(" sites were")
                                       : QStringLiteral(" selected sites were"));
        lines.append(left + QStringLiteral(" not added to the Address List because"));
    }
    if (tally.limitReached)
        lines.append(QStringLiteral("A maximum of ") + QString::number(UnitAddressList::kMaxUnits) +
                     QStringLiteral(" Addresses has been reached!"));
    return lines.join(QStringLiteral("\r\n"));
}

void ShowImportSummary(const ImportTally& tally)
{
    Platform::prompts().message(ImportSummary(tally), kTitle, PromptIcon::Information);
}

QString FindSiteDatabasePath(const QString& folder)
{
    const QString fallback = folder + QStringLiteral("SVSecurity.mdb");
    QFile file(localPath(folder + QStringLiteral("bwval.dat")));
    QStringList lines;
    if (file.exists()) {
        if (file.size() > kMaxLocatorSize || !file.open(QIODevice::ReadOnly))
            return fallback;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fallback;
        lines = CodePage::decode(bytes).split(u'\n');
        for (QString& line : lines) {
            if (line.endsWith(u'\r'))
                line.chop(1);
        }
    }
    const QString value = ReadIniValue(QStringLiteral("SECURITY_DB_PATH_AND_FILENAME"), lines);
    return value.isEmpty() ? fallback : value;
}

QString ReadIniValue(const QString& key, const QStringList& lines)
{
    for (const QString& line : lines) {
        const QStringList parts = line.split(u'=');
        if (parts.size() == 2 && parts.first().trimmed().toUpper() == key.toUpper())
            return parts.last();
    }
    return QString();
}

QString RegistryStringValue(const QString& subkey, const QString& valueName,
                            const QString& defaultValue)
{
    const qsizetype split = subkey.indexOf(u'\\');
    const std::optional<QString> value =
        Platform::registry().value(split < 0 ? subkey : subkey.left(split),
                                   split < 0 ? QString() : subkey.mid(split + 1), valueName);
    if (!value)
        return defaultValue;
    const qsizetype nul = value->indexOf(QChar(0));
    return nul < 0 ? *value : value->left(nul);
}
