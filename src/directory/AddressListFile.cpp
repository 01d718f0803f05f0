#include "directory/AddressListFile.h"

#include "directory/FieldReader.h"
#include "directory/TimeZones.h"
#include "directory/UnitPassword.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

const QString kHeader = QStringLiteral("IPADDRESSLISTWithUnitPassword");
const QString kOldHeader = QStringLiteral("IPADDRESSLIST");

// The units named in the blank-password warning; the rest are counted.
constexpr int kNamedUnits = 20;

// The format has no escape: a quote would end the field early and a line break would split the
// record, shifting every field after it.
QByteArray quoted(const QString& field)
{
    QString clean = field;
    clean.replace(u'"', u'\'');
    clean.replace(u'\r', u' ');
    clean.replace(u'\n', u' ');
    return '"' + CodePage::encode(clean) + '"';
}

} // namespace

AddressListLoad ReadAddressList(const QString& path, UnitAddressList& list,
                                const QString& oldFormatZone)
{
    list.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return AddressListLoad::Failed;

    FieldReader reader(file);
    const std::optional<QString> header = reader.next();
    if (!header)
        return AddressListLoad::Failed;
    const bool withPassword = *header == kHeader;
    if (!withPassword && *header != kOldHeader)
        return AddressListLoad::UnknownFormat;

    const std::optional<QString> countText = reader.next();
    bool ok = false;
    const qint16 announced = countText ? countText->toShort(&ok) : 0;
    if (!ok)
        return AddressListLoad::Failed;
    const int count = qBound(0, static_cast<int>(announced), UnitAddressList::kMaxUnits);

    const QString oldFormatDst = DstNameFromCode(DefaultDstCode(oldFormatZone));
    for (int i = 0; i < count; ++i) {
        QString fields[7];
        const int wanted = withPassword ? 7 : 2;
        for (int f = 0; f < wanted; ++f) {
            std::optional<QString> field = reader.next();
            if (!field)
                return AddressListLoad::Failed;
            fields[f] = std::move(*field);
        }
        if (withPassword) {
            list.append({fields[0], fields[1], DecodeUnitPassword(fields[2]), fields[3], fields[4],
                         fields[5], fields[6]});
        } else {
            list.append({fields[0], fields[1], QString(), oldFormatZone, oldFormatDst,
                         QStringLiteral("1"), QStringLiteral("1")});
        }
    }
    if (file.error() != QFileDevice::NoError)
        return AddressListLoad::Failed;
    return AddressListLoad::Loaded;
}

AddressListLoad LoadAddressList(const QString& path, UnitAddressList& list)
{
    const AddressListLoad outcome = ReadAddressList(path, list, PcStartupZone().zone);
    if (outcome == AddressListLoad::UnknownFormat)
        Platform::prompts().message(QStringLiteral("Unknown data format: ") + path,
                                    QStringLiteral("VigilStat"));
    else if (outcome == AddressListLoad::Failed)
        Platform::prompts().message(QStringLiteral("Cannot open ") + path);
    return outcome;
}

bool SaveAddressList(const QString& path, const UnitAddressList& list)
{
    QByteArray out;
    out.reserve(64 + list.count() * 96);
    out += quoted(kHeader) + "\r\n";
    out += QByteArray::number(list.count()) + "\r\n";

    QStringList blanked;
    for (int i = 0; i < list.count(); ++i) {
        const QString& password = list.Password.at(i);
        QString encoded;
        if (IsStorableUnitPassword(password))
            encoded = EncodeUnitPassword(password);
        else
            blanked.append(list.DataStr.at(i));
        out += quoted(list.DataStr.at(i)) + ',' + quoted(list.Descript.at(i)) + ',' +
               quoted(encoded) + ',' + quoted(list.TimeZone.at(i)) + ',' + quoted(list.DST.at(i)) +
               ',' + quoted(list.Status.at(i)) + ',' + quoted(list.Syn.at(i)) + "\r\n";
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        Platform::prompts().message(QStringLiteral("Cannot save ") + path);
        return false;
    }

    if (!blanked.isEmpty()) {
        QString names = blanked.mid(0, kNamedUnits).join(QStringLiteral(", "));
        if (blanked.size() > kNamedUnits)
            names += QStringLiteral(" and %1 more").arg(blanked.size() - kNamedUnits);
        Platform::prompts().message(
            QStringLiteral("The unit passwords of these units cannot be stored in the address "
                           "list file and were saved blank: ") +
                names + QStringLiteral("."),
            QStringLiteral("Warning"), PromptIcon::Warning);
    }
    return true;
}

QString AddressListPath(const QString& ipFileName)
{
    QString path = ipFileName;
    path.replace(u'\\', u'/');
    if (QDir::isAbsolutePath(path))
        return path;
    return QDir(Platform::programFolder().path()).filePath(path);
}
