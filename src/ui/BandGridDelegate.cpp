#include "ui/BandGridDelegate.h"

#include "ui/CountLayoutRules.h"

#include <QPainter>

BandGridDelegate::BandGridDelegate(const SettingsColours& colours, QObject* parent)
    : QStyledItemDelegate(parent), m_colours(colours)
{
}

void BandGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QAbstractItemModel* model = index.model();
    Gate1PCGridDrawCell(painter, option.rect, index.row(), index.column(), model->rowCount(), model->columnCount(),
                        index.data(Qt::DisplayRole).toString(), option.font);
}

void BandGridDelegate::Gate1PCGridDrawCell(QPainter* painter, const QRect& rect, int row, int column, int rowCount,
                                           int columnCount, const QString& text, const QFont& font) const
{
    if (row < 0 || columnCount <= 3)
        return;
    const CountLayoutRules::CellColours colours = CountLayoutRules::cellColours(row, rowCount, m_colours);
    painter->save();
    painter->fillRect(rect, CountLayoutRules::toColor(colours.background));
    painter->setPen(CountLayoutRules::toColor(colours.text));
    painter->setFont(font);
    const Qt::Alignment horizontal = column == 0 ? Qt::AlignLeft : Qt::AlignRight;
    painter->drawText(rect.adjusted(2, 0, -2, 0), int(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), text);
    painter->restore();
}
