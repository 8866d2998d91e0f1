#pragma once

#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QTableWidget;
class QWidget;

// The components of one gate's tab page, entered by ComponentInit into the per-slot tables.
struct GatePage
{
    QWidget* tabSheet = nullptr;
    QLabel* nameLabel = nullptr;
    QGroupBox* tagBox = nullptr;
    QTableWidget* tagGrid = nullptr;
    QGroupBox* countBox = nullptr;
    QFrame* countPanel = nullptr;
    QFrame* countTitlePanel = nullptr;
    QTableWidget* bandGrid = nullptr;
    QFrame* spacePanel = nullptr;
    QFrame* counterPanel = nullptr;
    QLabel* inLabel = nullptr;
    QLabel* outLabel = nullptr;
    QFrame* inCounterPanel = nullptr;
    // Digit images, index = digit position (0 = ones); the comma stands between positions 2 and 3.
    std::array<QLabel*, 8> inDigits{};
    QLabel* comma = nullptr;
    QFrame* outCounterPanel = nullptr;
    std::array<QLabel*, 8> outDigits{};
};
