#pragma once

#include <QProxyStyle>

struct SettingsRecord;

// Owner drawing of the gate page tabs: window-coloured tabs, lighter when selected, reddened while
// the caption carries the unconnected message.
class GateTabStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    GateTabStyle(const SettingsRecord& settings, QObject* parent);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

    // One tab: the caption on one line, centred both ways, on the tab's colour.
    void PageControl1DrawTab(QPainter* painter, const QRect& rect, const QString& caption, bool selected) const;

private:
    const SettingsRecord& m_settings;
};
