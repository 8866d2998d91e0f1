#pragma once

#include "ui/GatePage.h"

#include <QString>

#include <array>

class QTabWidget;

// Builds and keeps the 15 gate pages of the page control; slot 0 is the template page, the
// others are copies named after its components with "_" and the slot number appended.
class GatePages final
{
public:
    static constexpr int kSlots = 15;

    explicit GatePages(QTabWidget* pageControl);

    void ComponentInit(int slot);
    bool isBuilt(int slot) const { return m_pages[slot].tabSheet != nullptr; }
    GatePage& page(int slot) { return m_pages[slot]; }
    const GatePage& page(int slot) const { return m_pages[slot]; }

    // Count-only mode: the large counter moves above the band grid and the tag list goes away.
    void applyCountOnly(int slot);
    // Name on the page, short name on the tab; unnamed slots keep a hidden page.
    void completePage(int slot, const QString& name, const QString& shortName, quint32 background);

private:
    void buildTemplate();
    void buildCopy(int slot);
    void buildPage(int slot, GatePage& page, const QString& suffix);

    QTabWidget* m_pageControl;
    std::array<GatePage, kSlots> m_pages{};
};
