#pragma once

#include <QtGlobal>

class CountView;
class QTabWidget;
class QTimer;
struct SettingsRecord;

// The walk over all gate pages that lets the count display fit each configured, communicating page
// once: one page per Timer2 tick from slot 14 down to slot 0, each tick waiting until Timer1 (the full
// refresh of the page) has finished, then back to the page that was active when the walk began.
class LayoutPass final
{
public:
    static constexpr int kFirstPassPage = 14;

    LayoutPass(CountView& view, const SettingsRecord& settings, QTabWidget* pageControl, QTimer& timer1,
               QTimer& timer2);
    Q_DISABLE_COPY_MOVE(LayoutPass)

    // Arms a pass from slot 14; the caller starts Timer2 when the pass should run now. A new pass
    // starts armed, as the settings read at start-up ask for one.
    void arm();
    bool pending() const { return m_passPage >= 0; }
    int passPage() const { return m_passPage; }
    int returnPage() const { return m_returnPage; }
    // Count-only font fit: the first pass after start runs with 2.0 / 2.7 and chains into a second
    // pass with 26 / 3.6; every later pass runs with 26 / 3.2.
    float widthFactor() const { return m_widthFactor; }
    float rowAllowance() const { return m_rowAllowance; }

    // Handler of Timer2: one step of the pass.
    void Timer2Timer();

private:
    void layOut(int slot);
    void restorePages();
    void finish();

    CountView& m_view;
    const SettingsRecord& m_settings;
    QTabWidget* m_pageControl;
    QTimer& m_timer1;
    QTimer& m_timer2;
    int m_passPage = kFirstPassPage;
    int m_returnPage = -1;
    float m_widthFactor = 2.0F;
    float m_rowAllowance = 2.7F;
};
