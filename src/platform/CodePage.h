#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

// The single-byte code page of the program's files: Windows-1252 on every platform, so that
// files move between machines unchanged. Characters it cannot hold become '?'.
namespace CodePage {

QByteArray encode(QStringView text);
QString decode(QByteArrayView bytes);
// The code of one character, as the file would store it.
unsigned char byteOf(QChar c);
// The first character (a surrogate pair counts as one) the code page cannot hold, if any.
std::optional<QString> firstUnstorable(QStringView text);

} // namespace CodePage
