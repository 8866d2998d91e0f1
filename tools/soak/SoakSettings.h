#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// The program's options.ini for a soak: every gate slot on a simulated gate, counting visitors, saving
// the count files at the shortest interval, no exit CSV.
namespace SoakSettings {

QByteArray optionsIni(const QList<std::pair<QString, quint16>>& gates, const QList<quint16>& relayPorts);

// Free ports on 127.0.0.1 for the relay servers, all different.
QList<quint16> freeLoopbackPorts(int count);

} // namespace SoakSettings
