#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The one hex form of the simulator: upper-case byte pairs separated by single spaces.
namespace HexBytes {

QString format(QByteArrayView bytes);

// Hex digit pairs, spaces allowed anywhere between pairs; nullopt on any other character or an odd digit.
std::optional<QByteArray> parse(QStringView text);

} // namespace HexBytes
