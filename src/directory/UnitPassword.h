#pragma once

#include <QString>

// The stored form of a unit password: a two-digit decimal key KK (11 to 33), then one pair of
// upper-case hexadecimal digits per character, the character's code plus its position times KK.
// The key is drawn at random at every encoding. Any failure gives "".

// Keys are drawn only among those that keep every pair two digits long; "" when none can, and
// for texts longer than five characters.
QString EncodeUnitPassword(const QString& password);
// Only the lengths of 3- and 4-character passwords (8 and 10) are accepted.
QString DecodeUnitPassword(const QString& encoded);
// True when the file form carries the password back unchanged (empty counts as carried).
bool IsStorableUnitPassword(const QString& password);
