#pragma once

#include "platform/RoundHalfEven.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>

struct SettingsColours;

// The arithmetic of the count display: grid texts, cell and tab colours, the large counter and the
// layout fit of a gate page. Pure functions, so each rule can be checked against a table of cases.
namespace CountLayoutRules {

inline constexpr int kColumns = 5;
inline constexpr int kPositions = 8;
// The large counter shows at most eight digits.
inline constexpr qint64 kLargestShownTotal = 99999999;

using ::roundHalfEven;

// A colour held as red + green * 256 + blue * 65536.
QColor toColor(quint32 colour);

// Header of a band grid column, in the form of the counted direction.
QString headerText(int column, bool countExits);
// " 8時台" for band 8, "10時台" for band 10.
QString bandLabel(int hour);
QString totalRowLabel();
// A column is 1.2 times as wide as its header text.
int columnWidth(int headerTextWidth);

struct CellColours
{
    quint32 text = 0;
    quint32 background = 0;
};
// Header row, total row (the last row), other odd rows, other even rows.
CellColours cellColours(int row, int rowCount, const SettingsColours& colours);

// What the eight positions of the large counter show; position 0 is the ones.
struct CounterFigures
{
    int digits = 0;                      // L: the positions in use
    int factor = 44;                     // size factor of the digit width
    std::array<int, kPositions> digit{}; // digit image per position, -1 for a blank position
    bool commaShown = false;
};
// The total is shown between 0 and kLargestShownTotal: a wrapped negative sum shows 0 and a total
// beyond eight digits shows 99,999,999, so no position ever asks for an eleventh digit image.
CounterFigures counterFigures(qint64 total, int digitsSetting, bool commaSetting);

// Digit width D for the counter area (outside count-only mode) or the page height (count-only mode).
int digitWidth(int factor, bool countOnly, int pageHeight, int counterAreaWidth, int counterAreaHeight);

struct CounterStrip
{
    std::array<int, kPositions> widths{}; // blank high positions keep 1 pixel, the five low ones D
    int commaWidth = 0;                   // 0 while the comma is hidden
    QSize size;                           // of the digit strip; every image is as high as the strip
};
CounterStrip counterStrip(const CounterFigures& figures, int digitWidth);

// Caption font size from the height of the digit images.
int captionFontSize(int imageHeight, bool countOnly);

struct CounterPlacement
{
    QRect caption;
    QRect strip;
};
// Caption right-aligned 16 pixels in, the strip right-aligned directly under it; the two are centred
// as one block in the counter area, or start at its top in count-only mode.
CounterPlacement placeCounter(QSize area, QSize caption, QSize strip, bool countOnly);

// Aspect class 0..7 of the window from width / height.
int aspectClass(double ratio, double horizontalScale, int tagAreaHeight);

// Detected-tag rows V kept above the count box. bandSpan is end band - start band.
int tagRows(int aspectClass, double verticalScale, bool fitApplies, bool maximisedFit, int bandSpan);

int countBoxHeight(int pageHeight, int tagRowHeight, int tagRows, int nameLabelHeight);

// Counter area beside the band grid: 0.55 of the panel, or less when the grid's columns need the room.
int counterAreaWidth(int panelWidth, int columnsWidth);

// Width the grid needs for its columns with the grid lines and 4 pixels between neighbours.
int requiredGridWidth(const std::array<int, kColumns>& widths, int gridLineWidth);

// Counter area narrowed when the grid is narrower than its columns need; unchanged otherwise.
int fittedCounterWidth(int counterWidth, int gridWidth, int requiredGridWidth, int panelClientWidth);

// Measurements of the band grid at one font size.
struct FontSample
{
    int rowHeight = 0;
    int columnsWidth = 0;
};

struct FontFitTarget
{
    double rows = 0; // band rows + 3, or + the row allowance in count-only mode
    int gridHeight = 0;
    int gridWidth = 0;
    int scrollBarWidth = 0;
    bool countOnly = false;
    double widthFactor = 0;
    double verticalScale = 1;
    int countBoxWidth = 0;
};
bool fontFits(const FontSample& sample, const FontFitTarget& target);

// Largest size in lo..hi for which fits holds, or lo when none does; at most maxSteps tests.
int largestFittingSize(int lo, int hi, const std::function<bool(int)>& fits, int maxSteps = 100);

// Whole detected-tag rows (at most 10) that the spare grid height can give back to the tag box.
int spareTagRows(int spareHeight, int tagRowHeight);

struct TabColours
{
    quint32 background = 0;
    quint32 text = 0;
};
// A marked tab names a gate that is not connected: its caption carries the unconnected message.
bool tabMarked(const QString& caption, const QString& unconnectedMessage);
TabColours tabColours(quint32 windowColour, quint32 windowText, bool selected, bool marked);

// Caption of a disconnected gate's tab.
QString disconnectedCaption(const QString& shortName, const QString& unconnectedMessage);

} // namespace CountLayoutRules
