#include "ui/CountLayoutRules.h"

#include "config/SettingsRecord.h"

#include <algorithm>
#include <numeric>

namespace CountLayoutRules {

namespace {

// Aspect classes 1..7 by the lowest width / height ratio of each; class 0 has extra conditions.
constexpr std::array<double, 6> kAspectLimits = {1.7, 1.6, 1.5, 1.4, 1.32, 1.3};

int channel(quint32 colour, int shift)
{
    return static_cast<int>((colour >> shift) & 0xFF);
}

int scaledChannel(int value, double factor)
{
    return std::min(255, roundHalfEven(value * factor));
}

} // namespace

QColor toColor(quint32 colour)
{
    return QColor(channel(colour, 0), channel(colour, 8), channel(colour, 16));
}

QString headerText(int column, bool countExits)
{
    const QString direction = countExits ? QStringLiteral("(出)") : QStringLiteral("(入)");
    switch (column) {
    case 0:
        return QStringLiteral("時間帯");
    case 4:
        return QStringLiteral("　計") + direction + QStringLiteral(" ");
    default:
        return QStringLiteral("通路") + QString::number(column) + direction;
    }
}

QString bandLabel(int hour)
{
    const QString number = QString::number(hour);
    return (hour < 10 ? QStringLiteral(" ") + number : number) + QStringLiteral("時台");
}

QString totalRowLabel()
{
    return QStringLiteral("合　計");
}

int columnWidth(int headerTextWidth)
{
    return roundHalfEven(headerTextWidth * 1.2);
}

CellColours cellColours(int row, int rowCount, const SettingsColours& colours)
{
    if (row == 0)
        return {colours.titleText, colours.titleBackground};
    if (row == rowCount - 1)
        return {colours.totalText, colours.totalBackground};
    if (row % 2 == 1)
        return {colours.oddText, colours.oddBackground};
    return {colours.evenText, colours.evenBackground};
}

CounterFigures counterFigures(qint64 total, int digitsSetting, bool commaSetting)
{
    qint64 shown = std::clamp<qint64>(total, 0, kLargestShownTotal);
    const auto written = static_cast<int>(QString::number(shown).size());
    const int setting = std::clamp(digitsSetting, 0, kPositions);

    CounterFigures figures;
    figures.digits = std::max(written, setting);
    if (figures.digits < 6) {
        figures.factor = 44;
    } else if (figures.digits == 6) {
        figures.factor = 42;
    } else {
        figures.factor = 32;
        figures.digits = kPositions;
    }
    qint64 power = 10000000;
    for (int i = kPositions - 1; i >= 0; --i, power /= 10) {
        if (i >= figures.digits) {
            figures.digit[i] = -1;
            continue;
        }
        figures.digit[i] = static_cast<int>(shown / power);
        shown %= power;
    }
    figures.commaShown = figures.digits > 3 && commaSetting && setting == 0;
    return figures;
}

int digitWidth(int factor, bool countOnly, int pageHeight, int counterAreaWidth, int counterAreaHeight)
{
    if (countOnly)
        return std::clamp(roundHalfEven(0.2 * (pageHeight - 45)), 10, 130);
    int width = std::clamp(factor * counterAreaWidth / 280, 10, 180);
    if (width * 1.395 * 1.6 > counterAreaHeight)
        width = std::max(0, roundHalfEven(counterAreaHeight / 1.6 / 1.395));
    return width;
}

CounterStrip counterStrip(const CounterFigures& figures, int digitWidth)
{
    CounterStrip strip;
    for (int i = 0; i < kPositions; ++i)
        strip.widths[i] = i >= figures.digits && i > 4 ? 1 : digitWidth;
    strip.commaWidth = figures.commaShown ? digitWidth / 4 : 0;
    const int positions = std::accumulate(strip.widths.begin(), strip.widths.end(), 0);
    strip.size = QSize(positions + strip.commaWidth + 16, roundHalfEven(digitWidth * 1.3955));
    return strip;
}

int captionFontSize(int imageHeight, bool countOnly)
{
    return imageHeight / (countOnly ? 4 : 3);
}

CounterPlacement placeCounter(QSize area, QSize caption, QSize strip, bool countOnly)
{
    const int top = countOnly ? 0 : (area.height() - caption.height() - strip.height()) / 2;
    CounterPlacement placement;
    placement.caption = QRect(QPoint(area.width() - caption.width() - 16, top), caption);
    placement.strip = QRect(QPoint(area.width() - strip.width(), top + caption.height()), strip);
    return placement;
}

int aspectClass(double ratio, double horizontalScale, int tagAreaHeight)
{
    if (ratio >= 1.8 && horizontalScale == 1.0 && tagAreaHeight > 800)
        return 0;
    for (std::size_t i = 0; i < kAspectLimits.size(); ++i)
        if (ratio >= kAspectLimits[i])
            return static_cast<int>(i) + 1;
    return 7;
}

int tagRows(int aspectClass, double verticalScale, bool fitApplies, bool maximisedFit, int bandSpan)
{
    int k = 6;
    if (fitApplies && aspectClass == 7)
        k = 10;
    else if (fitApplies && aspectClass == 5)
        k = 8;
    int rows = roundHalfEven(k / std::max(1.0, verticalScale));
    if (maximisedFit && bandSpan < 12)
        rows += 12 - bandSpan;
    return rows;
}

int countBoxHeight(int pageHeight, int tagRowHeight, int tagRows, int nameLabelHeight)
{
    return std::max(0, pageHeight - (tagRowHeight + 4) * tagRows - nameLabelHeight - 32);
}

int counterAreaWidth(int panelWidth, int columnsWidth)
{
    return std::max(0, std::min(roundHalfEven(0.55 * panelWidth), panelWidth - columnsWidth - 20));
}

int requiredGridWidth(const std::array<int, kColumns>& widths, int gridLineWidth)
{
    return std::accumulate(widths.begin(), widths.end(), 0) + (kColumns - 1) * (gridLineWidth + 4);
}

int fittedCounterWidth(int counterWidth, int gridWidth, int requiredGridWidth, int panelClientWidth)
{
    if (gridWidth >= requiredGridWidth)
        return counterWidth;
    return std::clamp(panelClientWidth - requiredGridWidth + 8, 0, counterWidth);
}

bool fontFits(const FontSample& sample, const FontFitTarget& target)
{
    if (target.rows * sample.rowHeight > target.gridHeight)
        return false;
    if (sample.columnsWidth + target.scrollBarWidth > target.gridWidth)
        return false;
    return !target.countOnly ||
           sample.rowHeight * target.widthFactor * target.verticalScale + 10 <= target.countBoxWidth;
}

int largestFittingSize(int lo, int hi, const std::function<bool(int)>& fits, int maxSteps)
{
    int best = lo;
    for (int steps = 0; lo <= hi && steps < maxSteps; ++steps) {
        const int mid = lo + (hi - lo) / 2;
        if (fits(mid)) {
            best = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return best;
}

int spareTagRows(int spareHeight, int tagRowHeight)
{
    return std::clamp(spareHeight / std::max(1, tagRowHeight + 4), 0, 10);
}

bool tabMarked(const QString& caption, const QString& unconnectedMessage)
{
    return !unconnectedMessage.isEmpty() && caption.contains(unconnectedMessage);
}

TabColours tabColours(quint32 windowColour, quint32 windowText, bool selected, bool marked)
{
    const double base = selected ? 1.3 : 0.9;
    double red = base;
    double greenBlue = base;
    if (marked) {
        red *= 2;
        greenBlue *= selected ? 0.5 : 0.3;
    }
    TabColours colours;
    colours.background = static_cast<quint32>(scaledChannel(channel(windowColour, 0), red)) |
                         static_cast<quint32>(scaledChannel(channel(windowColour, 8), greenBlue)) << 8 |
                         static_cast<quint32>(scaledChannel(channel(windowColour, 16), greenBlue)) << 16;
    colours.text = marked ? 0 : windowText;
    return colours;
}

QString disconnectedCaption(const QString& shortName, const QString& unconnectedMessage)
{
    return shortName + QStringLiteral("【") + unconnectedMessage + QStringLiteral("】");
}

} // namespace CountLayoutRules
