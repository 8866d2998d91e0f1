#pragma once

#include <QByteArray>
#include <QString>

// The one conversion between the system's text files (the ANSI code page, CP932) and Unicode.
// Characters CP932 cannot hold are written as "?"; bytes that are not CP932 decode to U+FFFD.
namespace Cp932Codec {

QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

// Reads a text file's bytes: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE, else CP932.
QString decodeWithBom(const QByteArray& bytes);

} // namespace Cp932Codec
