#pragma once

#include "gatelink/TagReport.h"

#include <QObject>
#include <QString>

#include <unordered_map>
#include <vector>

// The tags one gate link has reported in 'D' frames, for the hidden "検知タグログ" grid: up to
// kCapacity distinct UIDs with their tag data and read count. Grid row 0 is the header; tag n
// (0-based) is shown on row n + 1, numbered n + 1.
class DebugTagTable final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DebugTagTable)

public:
    static constexpr int kCapacity = 200;
    static constexpr int kMinGridRows = 20;
    static constexpr int kColumns = 4;

    struct Entry
    {
        TagReport report;
        int count = 0;
    };

    explicit DebugTagTable(QObject* parent = nullptr);

    // Counts a known UID again or adds a new one while there is room.
    void Count(const TagReport& report);
    void clear();

    int size() const { return static_cast<int>(m_entries.size()); }
    const Entry& entry(int index) const { return m_entries.at(static_cast<std::size_t>(index)); }
    int gridRowCount() const;
    // Grid text of a tag: 0 number, 1 read count, 2 tag data fields, 3 UID as 16 hex digits; empty
    // for an index without a tag.
    QString cell(int index, int column) const;
    // Status text of the log view and the tag-count fields.
    QString totalText() const;

signals:
    // A tag's row was added or its count changed.
    void rowChanged(int index);
    void totalChanged(int total);
    void cleared();

private:
    std::vector<Entry> m_entries;
    std::unordered_map<std::uint64_t, int> m_index;
};
