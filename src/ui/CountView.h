#pragma once

#include "counting/CountViewHost.h"
#include "ui/CountLayoutRules.h"
#include "ui/CountViewParts.h"

#include <QPixmap>
#include <QSize>
#include <QtGlobal>

#include <array>
#include <map>

class CountViewWindow;
class QFont;
class QLabel;
class QTableWidget;
struct GatePage;

// The count display of the gate pages: the band grid, the large counter and the tab captions, with
// the layout fit that sizes them to the window. Works on the controls of the current page, chosen by
// PageLabelSet. Created by the main window once the gate pages are built.
class CountView final : public CountViewHost
{
public:
    static constexpr int kGates = 15;
    static constexpr int kForcedPasses = 5;
    // Any last event index but 0 asks UpdateCountView for values only.
    static constexpr int kPartialRefresh = -1;

    CountView(const CountViewParts& parts, CountViewWindow& window);
    ~CountView() override;
    Q_DISABLE_COPY_MOVE(CountView)

    // Selects the controls of a page; a log page selects none.
    void PageLabelSet(int pageIndex);
    // The gate whose controls are selected, -1 while none are.
    int currentGate() const { return m_current; }
    // The gate the keyboard commands and buttons act on: gate 0 while a log page is shown.
    int shownGate() const { return m_current < 0 ? 0 : m_current; }

    // Rebuilds the gate's record of today and, with a grid, redraws its grid and large counter. A last
    // event index of 0 asks for a full refresh (header rebuilt, layout fitted), any other a partial one.
    void UpdateCountView(QTableWidget* grid, int gate, int lastEvent);
    void Timer1Timer();
    void GraphView();
    // Tab change by the operator; changes made through setActivePage do not come here.
    void PageControl1Change(int pageIndex, bool layoutPassPending);
    // Keeps the gate's tab caption and, on the active page, the connection picture in line with its link.
    void GateTabCaptionSet(int gate);
    void GateTabCaptionSet(int gate, bool connected);

    // What the layout pass drives.
    void setActivePage(int pageIndex);
    void setDigitStripVisible(bool visible);
    void paintBoxesInWindowColour();
    // Every resize allows five more forced font passes.
    void allowForcedPasses();
    // Arming a pass: forced font passes allowed again, and every page waits for its layout.
    void resetLayout();
    // Count-only font fit: width factor and row allowance.
    void setFitFactors(double widthFactor, double rowAllowance);

    int pageOfGate(int gate) const;
    int gateOfPage(int pageIndex) const;
    bool laidOut(int gate) const { return m_laidOut[gate]; }

    // CountViewHost
    bool refreshSuspended() const override;
    int activeGate() const override;
    void showCounts(int gate, const DayTotals& totals) override;

private:
    GatePage* current();
    void prepare(GatePage& page);
    bool fitApplies() const;
    void refresh(GatePage& page, int gate, const DayTotals& totals, bool full);
    void fillGrid(QTableWidget* grid, int gate, const DayTotals& totals, bool full);
    void setColumns(QTableWidget* grid);
    void fitLayout(GatePage& page, int gate);
    void fitBandFont(GatePage& page);
    void settleGridWidth(GatePage& page, int gate);
    void fitColumns(GatePage& page);
    void drawCounter(GatePage& page, int gate, qint64 total);
    void placeCounter(GatePage& page, int gate);
    CountLayoutRules::FontSample measure(const QFont& font, int size);
    void showPicture(QLabel* image, const QImage& picture);

    CountViewParts m_parts;
    CountViewWindow& m_window;
    int m_current = -1;
    bool m_settingPage = false;
    int m_aspectClass = 7;
    int m_forcedPasses = kForcedPasses;
    double m_widthFactor = 2.0;
    double m_rowAllowance = 2.7;
    std::array<bool, kGates> m_laidOut{};
    // Last link state shown on each tab: -1 before the first call, then 0 or 1.
    std::array<int, kGates> m_linkState{};
    // Count box height of the last fit before spare rows were given back, -1 before the first.
    std::array<int, kGates> m_boxBase{};
    std::array<QSize, kGates> m_strips{};
    // Row height and total column width per band-grid font size, measured once each.
    std::map<int, CountLayoutRules::FontSample> m_fontSamples;
    // Pixmaps of the digit, comma and connection pictures, by the picture's cache key.
    std::map<qint64, QPixmap> m_pixmaps;
};
