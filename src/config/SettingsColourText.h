#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Colours in the settings file: "red,green,blue", three decimal numbers of which the low 8 bits count.
namespace SettingsColourText {

QString format(quint32 colour);
// Empty when the text does not hold three numbers.
std::optional<quint32> parse(const QString& text);

} // namespace SettingsColourText
