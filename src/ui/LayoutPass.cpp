#include "ui/LayoutPass.h"

#include "config/SettingsRecord.h"
#include "ui/CountView.h"

#include <QTabWidget>
#include <QTimer>

LayoutPass::LayoutPass(CountView& view, const SettingsRecord& settings, QTabWidget* pageControl, QTimer& timer1,
                       QTimer& timer2)
    : m_view(view), m_settings(settings), m_pageControl(pageControl), m_timer1(timer1), m_timer2(timer2)
{
    m_view.setFitFactors(m_widthFactor, m_rowAllowance);
}

void LayoutPass::arm()
{
    m_passPage = kFirstPassPage;
    m_returnPage = -1;
    m_view.resetLayout();
}

void LayoutPass::Timer2Timer()
{
    m_timer2.setInterval(1);
    m_timer2.stop();
    const int startPage = m_passPage;
    if (m_returnPage == -1)
        m_returnPage = m_pageControl->currentIndex();

    while (m_passPage >= 0) {
        // The previous page is still being fitted.
        if (m_timer1.isActive()) {
            m_timer2.start();
            return;
        }
        const GateSlotSettings& gate = m_settings.gates[m_passPage];
        if (gate.name.isEmpty() || !gate.enabled) {
            --m_passPage;
            continue;
        }
        layOut(m_passPage);
        break;
    }
    if (startPage >= 0 && m_passPage <= 0)
        restorePages();
    if (m_passPage < 0) {
        finish();
        return;
    }
    --m_passPage;
    m_timer2.start();
}

void LayoutPass::layOut(int slot)
{
    const int page = m_view.pageOfGate(slot);
    m_view.setActivePage(page);
    m_view.PageLabelSet(page);
    m_view.setDigitStripVisible(false);
    m_view.GateTabCaptionSet(slot);
    m_view.paintBoxesInWindowColour();
    m_view.GraphView();
    m_timer1.start();
    m_timer2.start();
}

void LayoutPass::restorePages()
{
    for (int slot = 0; slot < kGateSlots; ++slot) {
        const GateSlotSettings& gate = m_settings.gates[slot];
        if (gate.name.isEmpty())
            continue;
        m_view.PageLabelSet(m_view.pageOfGate(slot));
        if (!gate.enabled)
            m_view.GateTabCaptionSet(slot);
        m_view.setDigitStripVisible(true);
    }
    m_view.PageLabelSet(m_pageControl->currentIndex());
}

void LayoutPass::finish()
{
    if (m_returnPage >= 0) {
        m_view.setActivePage(m_returnPage);
        m_view.PageLabelSet(m_returnPage);
        // The connection picture shows the last page laid out until the returned page claims it again.
        if (m_view.currentGate() >= 0)
            m_view.GateTabCaptionSet(m_view.currentGate());
    }
    // Forgotten once used, so a later resize cannot take the operator back to this page.
    m_returnPage = -1;
    if (!m_settings.countOnly)
        return;
    if (m_widthFactor == 26.0F) {
        m_rowAllowance = 3.2F;
    } else {
        m_widthFactor = 26.0F;
        m_rowAllowance = 3.6F;
        m_passPage = kFirstPassPage;
        m_timer2.start();
    }
    m_view.setFitFactors(m_widthFactor, m_rowAllowance);
}
