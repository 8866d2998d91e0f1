#pragma once

#include <QImage>

#include <array>

class Clock;
class CountModel;
class GatePages;
class QLabel;
class QTabWidget;
class QTimer;
struct SettingsRecord;

// The main window's parts that the count display works on; all owned by the main window.
struct CountViewParts
{
    const SettingsRecord* settings = nullptr;
    const Clock* clock = nullptr;
    CountModel* counts = nullptr;
    GatePages* pages = nullptr;
    QTabWidget* pageControl = nullptr;
    QTimer* timer1 = nullptr;
    QTimer* timer2 = nullptr;
    QLabel* connectionImage = nullptr;
    // Digit pictures 0..9, the comma, and the connection pictures (0 connected, 1 not connected).
    const std::array<QImage, 10>* digits = nullptr;
    const QImage* comma = nullptr;
    const std::array<QImage, 3>* connectionImages = nullptr;
};
