#pragma once

#include "config/SettingsRecord.h"

#include <QString>

#include <optional>

// The "図書館共通コード" + n values: industry code, library type, institution code, item-code digits.
namespace LibraryCodeText {

// Empty for a value that gives no usable entry: empty, fewer than four numbers, or no item-code digits.
std::optional<LibraryCode> parse(const QString& text);
// The institution code keeps the leading zeros it was written with.
QString format(const LibraryCode& code);

} // namespace LibraryCodeText
