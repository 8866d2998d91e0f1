#include "ui/GateTabStyle.h"

#include "config/SettingsRecord.h"
#include "ui/CountLayoutRules.h"

#include <QPainter>
#include <QStyleOptionTab>

GateTabStyle::GateTabStyle(const SettingsRecord& settings, QObject* parent) : m_settings(settings)
{
    setParent(parent);
}

void GateTabStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
    if (element == CE_TabBarTab && tab) {
        PageControl1DrawTab(painter, tab->rect, tab->text, tab->state.testFlag(State_Selected));
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void GateTabStyle::PageControl1DrawTab(QPainter* painter, const QRect& rect, const QString& caption,
                                       bool selected) const
{
    const bool marked = CountLayoutRules::tabMarked(caption, m_settings.unconnectedMessage);
    const CountLayoutRules::TabColours colours = CountLayoutRules::tabColours(
        m_settings.colours.windowBackground, m_settings.colours.windowText, selected, marked);
    painter->save();
    painter->fillRect(rect, CountLayoutRules::toColor(colours.background));
    painter->setPen(CountLayoutRules::toColor(colours.text));
    painter->drawText(rect, int(Qt::AlignCenter | Qt::TextSingleLine), caption);
    painter->restore();
}
