#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Text rules shared by the settings store: blanks, ASCII-only case folding, the hash bucket,
// value quoting and the integer forms the settings file accepts.
namespace NkIniText {

inline constexpr int kBuckets = 1024;

// Strips blanks and control characters (U+0000..U+0020) at both ends; other spaces such as
// the ideographic space belong to the text.
QString trim(QStringView text);

// Only ASCII letters fold; full-width and other letters compare exactly.
char16_t foldAscii(char16_t unit);
bool sameText(QStringView a, QStringView b);

// h = ((h + c) * 9973) mod 1024 over the UTF-16 units, ASCII letters upper-cased first.
int hashBucket(QStringView text);

// The item's name: the text before the first "=", trimmed; the whole text when there is no "=".
QString nameOf(const QString& item);

// Quotes a value that contains a blank or a double quote; inner quotes are doubled.
QString quote(const QString& value);
// The line of a key: name + "=" + quoted value. A value is also quoted when the line would otherwise
// read back as a section header (a name beginning with "[" and a value ending with "]").
QString keyLine(const QString& trimmedName, const QString& value);
// Undoes quote(): only a value wrapped in quotes whose closing quote is its last character.
QString unquote(const QString& value);

// A decimal number, "$" + hex digits, or "0x" + hex digits (longer than two characters),
// with an optional sign before decimal or "$" forms; nothing else.
std::optional<int> toInt32(QStringView text);

} // namespace NkIniText
