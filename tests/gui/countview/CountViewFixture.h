#pragma once

#include "config/SettingsRecord.h"
#include "counting/CountModel.h"
#include "platform/ManualClock.h"
#include "ui/CountView.h"
#include "ui/CountViewWindow.h"
#include "ui/GatePages.h"
#include "ui/LayoutPass.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QTabWidget;

class FakeCountWindow final : public CountViewWindow
{
public:
    std::array<bool, kGateSlots> connected{};
    double horizontal = 1.0;
    double vertical = 1.0;
    bool minimised = false;

    bool gateLinkConnected(int slot) const override { return connected[slot]; }
    double horizontalScale() const override { return horizontal; }
    double verticalScale() const override { return vertical; }
    bool windowMinimised() const override { return minimised; }
    void pickTagFont(int, int) override {}
    void refreshTagGrid(int) override {}
};

// A window with the 15 gate pages and the two log pages, the count display and the layout pass on
// them. Slot 0 "正面" and slot 3 "閲覧室" communicate, slot 1 "通用口" is named but does not.
// Digit picture k is filled with red 10 + 20 k, so a test can tell which digit an image shows.
class CountViewFixture
{
public:
    explicit CountViewFixture(bool countOnly = false);
    ~CountViewFixture();

    // Builds the view and the pass over the current settings; call after changing them.
    void start();
    // Today's event of a gate at hh:30 with the increments of the counted direction.
    void addEvent(int gate, int hour, std::array<int, 3> increments);
    // Runs Timer1 and Timer2 handlers until both are idle; false when they did not settle.
    bool settle(int limit = 400);
    // Runs the Timer1 handler until the page's fit stops asking for another pass.
    bool finishRefresh(int limit = 50);
    // The digit a position of the gate's large counter shows, -1 for a blank position.
    int shownDigit(int gate, int position) const;
    QString cell(int gate, int row, int column) const;

    static constexpr int kLogPage = 15;

    ManualClock clock;
    SettingsRecord settings;
    CountModel counts{clock};
    FakeCountWindow host;
    QWidget window;
    QTabWidget* tabs = nullptr;
    QLabel* connectionImage = nullptr;
    QTimer timer1;
    QTimer timer2;
    std::array<QImage, 10> digits;
    QImage comma;
    std::array<QImage, 3> connectionImages;
    std::unique_ptr<GatePages> pages;
    std::unique_ptr<CountView> view;
    std::unique_ptr<LayoutPass> pass;
};
