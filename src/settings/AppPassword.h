#pragma once

#include <QString>

// The application password's stored form: upper-case hexadecimal of the sum of each character's
// code times 3 to the power of its position. Spaces around the text do not count.
QString EncodeAppPassword(const QString& text);

// The factory password and its stored form, which stands when nothing is stored.
inline constexpr char16_t kFactoryPassword[] = u"admin";
inline constexpr char16_t kFactoryEncodedPassword[] = u"99C9";
