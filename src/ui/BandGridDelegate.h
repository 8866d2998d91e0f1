#pragma once

#include <QStyledItemDelegate>

struct SettingsColours;

// Paints the cells of every band grid in the colours of their row kind.
class BandGridDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    BandGridDelegate(const SettingsColours& colours, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // One cell: its background, then its text on one line, vertically centred, left-aligned in the
    // band column and right-aligned in the count columns. Grids of 3 columns or fewer are not drawn.
    void Gate1PCGridDrawCell(QPainter* painter, const QRect& rect, int row, int column, int rowCount, int columnCount,
                             const QString& text, const QFont& font) const;

private:
    const SettingsColours& m_colours;
};
