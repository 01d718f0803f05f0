#include "directory/ImportCandidates.h"

#include "directory/AddressListFile.h"
#include "directory/clsRegistryDataEntry.h"
#include "directory/FieldReader.h"
#include "directory/TimeZones.h"
#include "directory/UnitPassword.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"

#include <algorithm>
#include <QFile>
#include <QStringDecoder>

namespace {

const QString kOne = QStringLiteral("1");

// Longer lines of a values file are damage, not data.
constexpr qint64 kMaxLineLength = 64 * 1024;

// Lines of a file read into one buffer kept for the whole file, rather than a 64 KiB array
// made and cut down again for every row.
class LineReader
{
public:
    explicit LineReader(QIODevice& device)
        : m_device(device), m_buffer(kMaxLineLength, Qt::Uninitialized)
    {}
    // At most kMaxLineLength - 1 bytes; empty at the end or on an error.
    QByteArray next()
    {
        const qint64 got = m_device.readLine(m_buffer.data(), kMaxLineLength);
        return QByteArray(m_buffer.constData(), qsizetype(std::max<qint64>(got, 0)));
    }

private:
    QIODevice& m_device;
    QByteArray m_buffer;
};

QString typeOfAddress(const QString& address)
{
    return address.contains(u'.') ? QStringLiteral("0") : kOne;
}

// One line of comma- (or semicolon-) separated values; quoted cells may hold the separator and
// doubled quotes.
QStringList splitValues(const QString& line, QChar separator)
{
    QStringList cells(1);
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"' && quoted && i + 1 < line.size() && line.at(i + 1) == u'"') {
            cells.last() += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            cells.append(QString());
        } else {
            cells.last() += c;
        }
    }
    for (QString& cell : cells)
        cell = cell.trimmed();
    return cells;
}

// Spreadsheets save UTF-8; older tools the PC's code page.
QString decodeLine(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = CodePage::decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

} // namespace

QString ListFileTimeZone(TimeZoneOption option)
{
    return option == TimeZoneOption::GmtTime ? QStringLiteral("GMT") : PcStartupZone().zone;
}

QString DefaultDstName(const QString& zone)
{
    return DstNameFromCode(DefaultDstCode(zone));
}

bool ImportCandidates::append(const UnitRecord& site, const QString& type, int descriptionWidth)
{
    if (isFull())
        return false;
    lstDataStr.append(site.DataStr);
    lstDescript.append(site.Descript);
    lstPassW.append(site.Password);
    lstType.append(type);
    lstTimeZone.append(site.TimeZone);
    lstDST.append(site.DST);
    lstStatus.append(site.Status);
    lstSyn.append(site.Syn);
    // A long description is cut so that a blank always parts it from the address.
    QString description = site.Descript.left(descriptionWidth - 1);
    for (QChar& c : description) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    List1.append(description.leftJustified(descriptionWidth) + site.DataStr.leftJustified(16));
    return true;
}

UnitRecord ImportCandidates::site(int i) const
{
    return {lstDataStr.at(i), lstDescript.at(i), lstPassW.at(i), lstTimeZone.at(i),
            lstDST.at(i),     lstStatus.at(i),   lstSyn.at(i)};
}

void ImportCandidates::clear()
{
    for (QStringList* l : {&lstDataStr, &lstDescript, &lstPassW, &lstType, &lstTimeZone, &lstDST,
                           &lstStatus, &lstSyn, &List1})
        l->clear();
}

void ImportCandidates::LoadConnectionList()
{
    clsRegistryDataEntry list;
    list.LoadSetting(QStringLiteral("SVControl"));
    const QString zone = PcStartupZone().zone;
    for (int i = 0; i < list.ComTotal(); ++i) {
        const clsEthernet* entry = list.EthernetData(i);
        append({entry->DataStr(), entry->Descript(), entry->Password(), zone, DefaultDstName(zone),
                kOne, kOne},
               QString::number(entry->ComType()));
    }
}

void ImportCandidates::ReadListFile(const QString& path, TimeZoneOption option)
{
    const QString zone = ListFileTimeZone(option);
    Read outcome;
    if (path.endsWith(QStringLiteral(".lst")))
        outcome = readAddressBook(path, zone);
    else if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        outcome = readValues(path, zone);
    else
        outcome = readAddressList(path, zone);

    switch (outcome) {
    case Read::Done:
        return;
    case Read::Failed:
        Platform::prompts().message(QStringLiteral("There has been an error Importing from: ") +
                                    path);
        return;
    case Read::UnknownFormat:
        Platform::prompts().message(QStringLiteral("Unknown data format: ") + path,
                                    QStringLiteral("VigilStat"));
        return;
    case Read::Full:
        Platform::prompts().message(
            QStringLiteral("No more than ") + QString::number(kMaxCandidates) +
            QStringLiteral(" sites can be listed. Import or clear the listed sites first."));
        return;
    }
}

ImportCandidates::Read ImportCandidates::readAddressBook(const QString& path, const QString& zone)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Read::Failed;
    FieldReader reader(file);
    auto number = [&reader]() -> std::optional<int> {
        const std::optional<QString> field = reader.next();
        bool ok = false;
        const int value = field ? field->toInt(&ok) : 0;
        return ok ? std::optional<int>(value) : std::nullopt;
    };

    // A first line of 1000 announces the kind with passwords; the count follows it.
    std::optional<int> count = number();
    const bool withPasswords = count == 1000;
    if (withPasswords)
        count = number();
    if (!count)
        return Read::Failed;
    const int width = withPasswords ? kNarrowDescriptionWidth : kDescriptionWidth;
    for (int i = 0; i < qMin(*count, UnitAddressList::kMaxUnits); ++i) {
        const std::optional<int> comType = number();
        const std::optional<QString> address = reader.next();
        const std::optional<QString> description = reader.next();
        const std::optional<QString> password = withPasswords ? reader.next() : QString();
        if (!comType || !address || !description || !password)
            return Read::Failed;
        if (!append({*address, *description, DecodeUnitPassword(*password), zone,
                     DefaultDstName(zone), kOne, kOne},
                    QString::number(*comType), width))
            return Read::Full;
    }
    return Read::Done;
}

ImportCandidates::Read ImportCandidates::readAddressList(const QString& path, const QString& zone)
{
    UnitAddressList read;
    const AddressListLoad outcome = ReadAddressList(path, read, zone);
    for (int i = 0; i < read.count(); ++i) {
        if (!append(read.record(i), typeOfAddress(read.DataStr.at(i))))
            return Read::Full;
    }
    if (outcome == AddressListLoad::UnknownFormat)
        return Read::UnknownFormat;
    return outcome == AddressListLoad::Loaded ? Read::Done : Read::Failed;
}

// A header row names the columns: address and description, optional password, time zone and
// DST, in any order. An empty time zone takes the option's, an empty DST the zone's default.
ImportCandidates::Read ImportCandidates::readValues(const QString& path, const QString& zone)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Read::Failed;
    LineReader lines(file);
    const QByteArray headerBytes = lines.next();
    const QString header = decodeLine(headerBytes);
    const QChar separator = header.contains(u',') || !header.contains(u';') ? u',' : u';';
    QStringList names = splitValues(header, separator);
    for (QString& name : names)
        name = name.toLower().remove(u' ');
    const qsizetype address = names.indexOf(QStringLiteral("address"));
    const qsizetype description = names.indexOf(QStringLiteral("description"));
    if (address < 0 || description < 0)
        return Read::UnknownFormat;
    const qsizetype password = names.indexOf(QStringLiteral("password"));
    const qsizetype timeZone = names.indexOf(QStringLiteral("timezone"));
    const qsizetype dst = names.indexOf(QStringLiteral("dst"));

    for (int rows = 0; rows < UnitAddressList::kMaxUnits && !file.atEnd();) {
        const QByteArray bytes = lines.next();
        if (bytes.size() >= kMaxLineLength - 1 || file.error() != QFileDevice::NoError)
            return Read::Failed;
        const QStringList cells = splitValues(decodeLine(bytes), separator);
        if (cells.size() == 1 && cells.first().isEmpty())
            continue;
        ++rows;
        const auto cell = [&cells](qsizetype i) { return cells.value(i); };
        const QString siteZone = cell(timeZone).isEmpty() ? zone : cell(timeZone).toUpper();
        const QString siteDst =
            cell(dst).isEmpty() ? DefaultDstName(siteZone) : cell(dst).toUpper();
        if (!append(
                {cell(address), cell(description), cell(password), siteZone, siteDst, kOne, kOne},
                typeOfAddress(cell(address))))
            return Read::Full;
    }
    return Read::Done;
}
