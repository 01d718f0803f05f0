// The general date-time text and the short date in a range of locales: any text the reader
// accepts must be the very text the writer makes of the result, and any time the writer
// writes must read back.

#include "FuzzEnvironment.h"
#include "platform/Clock.h"

#include <array>
#include <memory>

namespace {

const LocaleFormats& localeNumber(int n)
{
    // Latin and native digits, 12- and 24-hour clocks, AM/PM before and after the time,
    // month names, right-to-left scripts and unusual separators.
    static const std::array<const char*, 16> names = {
        "en_US", "en_GB", "de_DE", "ja_JP", "ee_GH", "fi_FI", "ar_EG", "fa_IR",
        "zh_TW", "ko_KR", "hi_IN", "he_IL", "th_TH", "my_MM", "bn_BD", "sq_AL"};
    static std::array<std::unique_ptr<LocaleFormats>, names.size()> formats;
    const size_t i = size_t(n) % names.size();
    if (!formats[i])
        formats[i] = std::make_unique<LocaleFormats>(QLocale(QString::fromLatin1(names[i])));
    return *formats[i];
}

// A wall-clock second between 1900 and 2199, the span unit clocks and poll times live in.
QDateTime wallClockFrom(quint32 bits)
{
    const QDateTime first = wallClock(QDate(1900, 1, 1), QTime(0, 0));
    const qint64 span = first.secsTo(wallClock(QDate(2200, 1, 1), QTime(0, 0)));
    return first.addSecs(qint64(bits) * 3 % span);
}

} // namespace

// Input: a locale number, four bytes of a time to write, then the text to read (UTF-8).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEnvironment::get();
    FuzzInput input(data, size);
    const LocaleFormats& locale = localeNumber(input.byte());
    quint32 bits = 0;
    for (int i = 0; i < 4; ++i)
        bits = bits << 8 | input.byte();
    const QString text = QString::fromUtf8(input.rest());

    const QDateTime time = wallClockFrom(bits);
    const QString written = locale.generalDateTimeText(time);
    FUZZ_CHECK(locale.parseGeneralDateTime(written) == time);
    FUZZ_CHECK(locale.parseShortDate(locale.shortDateText(time.date())) == time.date());

    if (const auto read = locale.parseGeneralDateTime(text)) {
        FUZZ_CHECK(read->isValid() && read->timeSpec() == Qt::UTC);
        FUZZ_CHECK(locale.generalDateTimeText(*read) == text);
    }
    if (const auto date = locale.parseShortDate(text)) {
        FUZZ_CHECK(date->isValid());
        FUZZ_CHECK(locale.shortDateText(*date) == text);
    }
    return 0;
}
