#include "ui/LanSettingsModel.h"

#include "gatelink/TcpIpPara.h"

#include <QStringList>

#include <algorithm>
#include <utility>

LanSettingsModel::LanSettingsModel(tagTCPIPPara& para, bool& autoReconnect, int slot, std::function<void()> restart)
    : m_para(para), m_autoReconnect(autoReconnect), m_slot(slot), m_restart(std::move(restart))
{
}

std::array<QString, 4> LanSettingsModel::splitAddress(const QString& address)
{
    std::array<QString, 4> parts;
    const QStringList pieces = address.split(QLatin1Char('.'));
    for (std::size_t i = 0; i < parts.size() && i < static_cast<std::size_t>(pieces.size()); ++i)
        parts[i] = pieces[static_cast<qsizetype>(i)];
    return parts;
}

LanSettingsFields LanSettingsModel::open() const
{
    const TcpIpParaEntry& gate = m_para.entry(tagTCPIPPara::GateRow, m_slot);
    const TcpIpParaEntry& relay = m_para.entry(tagTCPIPPara::RelayRow, m_slot);
    LanSettingsFields fields;
    fields.server = gate.isServer;
    fields.gatePort = gate.port;
    fields.relayPort = relay.port;
    fields.address = splitAddress(gate.address);
    fields.autoReconnect = m_autoReconnect;
    return fields;
}

void LanSettingsModel::accept(const LanSettingsFields& fields)
{
    TcpIpParaEntry& gate = m_para.entry(tagTCPIPPara::GateRow, m_slot);
    TcpIpParaEntry& relay = m_para.entry(tagTCPIPPara::RelayRow, m_slot);
    gate.port = static_cast<quint16>(std::clamp(fields.gatePort, 0, kPortMax));
    relay.port = static_cast<quint16>(std::clamp(fields.relayPort, 0, kPortMax));
    m_autoReconnect = fields.autoReconnect;
    // Address fields the operator left as they were keep the stored address, so a host name or an
    // address of more than four parts survives an OK.
    if (fields.address != splitAddress(gate.address)) {
        QStringList parts;
        for (const QString& part : fields.address)
            parts << part;
        gate.address = parts.join(QLatin1Char('.'));
    }
    relay.address = QStringLiteral("127.0.0.1");
    gate.isServer = false;
    relay.isServer = true;
    if (m_restart)
        m_restart();
}
