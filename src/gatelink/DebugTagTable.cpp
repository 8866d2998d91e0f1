#include "gatelink/DebugTagTable.h"

#include <algorithm>

namespace {

std::uint64_t uidKey(const TagReport& report)
{
    std::uint64_t key = 0;
    for (const std::uint8_t byte : report.uid)
        key = (key << 8) | byte;
    return key;
}

} // namespace

DebugTagTable::DebugTagTable(QObject* parent) : QObject(parent) {}

void DebugTagTable::Count(const TagReport& report)
{
    const std::uint64_t key = uidKey(report);
    const auto found = m_index.find(key);
    if (found != m_index.end()) {
        ++m_entries[static_cast<std::size_t>(found->second)].count;
        emit rowChanged(found->second);
    } else if (size() < kCapacity) {
        m_index.emplace(key, size());
        m_entries.push_back({report, 1});
        emit rowChanged(size() - 1);
        emit totalChanged(size());
    }
}

void DebugTagTable::clear()
{
    m_entries.clear();
    m_index.clear();
    emit cleared();
}

int DebugTagTable::gridRowCount() const
{
    return std::max(kMinGridRows, size() + 1);
}

QString DebugTagTable::cell(int index, int column) const
{
    if (index < 0 || index >= size())
        return {};
    const Entry& tag = entry(index);
    const auto& d = tag.report.data;
    switch (column) {
    case 0:
        return QString::number(index + 1);
    case 1:
        return QString::number(tag.count);
    case 2: {
        // The library fields of the tag data: industry, library type, institution, item code's upper part.
        const unsigned libraryType = d[1] >> 4;
        const unsigned institution = ((d[1] & 0x0Fu) << 16) | (d[2] << 8) | d[3];
        const unsigned upper = ((d[4] & 0x3Fu) << 24) | (d[5] << 16) | (d[6] << 8) | d[7];
        return QString::asprintf("%03d,%03d,%06d,%09d", int(d[0]), int(libraryType), int(institution), int(upper));
    }
    case 3: {
        QString text;
        for (int i = 7; i >= 0; --i)
            text += QString::asprintf("%02X", tag.report.uid[static_cast<std::size_t>(i)]);
        return text;
    }
    default:
        return {};
    }
}

QString DebugTagTable::totalText() const
{
    return QStringLiteral("読みとり総数： ") + QString::number(size());
}
