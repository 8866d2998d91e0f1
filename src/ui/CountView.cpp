#include "ui/CountView.h"

#include "config/SettingsRecord.h"
#include "counting/CountModel.h"
#include "platform/Clock.h"
#include "ui/BandGridDelegate.h"
#include "ui/CountViewWindow.h"
#include "ui/GatePages.h"
#include "ui/GateTabStyle.h"

#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <numeric>

namespace Rules = CountLayoutRules;

namespace {

// Grid painting stays off while a grid is filled and comes back with one repaint, also after an exception.
class PaintPause final
{
public:
    explicit PaintPause(QTableWidget* grid) : m_grid(grid) { m_grid->setUpdatesEnabled(false); }
    ~PaintPause() { m_grid->setUpdatesEnabled(true); }
    Q_DISABLE_COPY_MOVE(PaintPause)

private:
    QTableWidget* m_grid;
};

void setCell(QTableWidget* grid, int row, int column, const QString& text)
{
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        grid->setItem(row, column, new QTableWidgetItem(text));
        return;
    }
    if (item->text() != text)
        item->setText(text);
}

std::array<int, Rules::kColumns> columnWidths(const QTableWidget* grid)
{
    std::array<int, Rules::kColumns> widths{};
    for (int column = 0; column < Rules::kColumns && column < grid->columnCount(); ++column)
        widths[column] = grid->columnWidth(column);
    return widths;
}

int sumOfColumns(const QTableWidget* grid)
{
    const auto widths = columnWidths(grid);
    return std::accumulate(widths.begin(), widths.end(), 0);
}

int scrollBarWidth(const QWidget* widget)
{
    return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

int tagRowHeight(const GatePage& page)
{
    return page.tagGrid->verticalHeader()->defaultSectionSize();
}

// Geometry changes reach the page's controls now, so the next measurement sees them. A layout only
// places its own widget's children, so every level is laid out from the page down.
void activate(GatePage& page)
{
    for (QWidget* level : {page.tabSheet, static_cast<QWidget*>(page.tagBox), static_cast<QWidget*>(page.countBox),
                           static_cast<QWidget*>(page.countPanel)})
        if (QLayout* layout = level->layout())
            layout->activate();
}

void fillWithColour(QWidget* widget, quint32 colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Rules::toColor(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

CountView::CountView(const CountViewParts& parts, CountViewWindow& window) : m_parts(parts), m_window(window)
{
    m_linkState.fill(-1);
    m_boxBase.fill(-1);
    // The page control outlives its tab bar's drawing, so the style is its child rather than the bar's.
    m_parts.pageControl->tabBar()->setStyle(new GateTabStyle(*m_parts.settings, m_parts.pageControl));
    for (int gate = 0; gate < kGates; ++gate)
        if (m_parts.pages->isBuilt(gate))
            prepare(m_parts.pages->page(gate));
    PageLabelSet(m_parts.pageControl->currentIndex());
}

CountView::~CountView() = default;

void CountView::prepare(GatePage& page)
{
    // The caption and the digit strip are placed by the counter rules, not by a layout.
    delete page.counterPanel->layout();
    page.outLabel->hide();
    page.outCounterPanel->hide();
    if (QLayout* panelLayout = page.countPanel->layout())
        for (int i = 0; i < panelLayout->count(); ++i)
            if (QLayout* row = panelLayout->itemAt(i)->layout())
                row->setSpacing(0);

    QTableWidget* grid = page.bandGrid;
    grid->setItemDelegate(new BandGridDelegate(m_parts.settings->colours, grid));
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setWordWrap(false);
    for (QHeaderView* header : {grid->horizontalHeader(), grid->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
}

int CountView::pageOfGate(int gate) const
{
    if (gate < 0 || gate >= kGates || !m_parts.pages->isBuilt(gate))
        return -1;
    return m_parts.pageControl->indexOf(m_parts.pages->page(gate).tabSheet);
}

int CountView::gateOfPage(int pageIndex) const
{
    const QWidget* sheet = m_parts.pageControl->widget(pageIndex);
    if (!sheet)
        return -1;
    for (int gate = 0; gate < kGates; ++gate)
        if (m_parts.pages->isBuilt(gate) && m_parts.pages->page(gate).tabSheet == sheet)
            return gate;
    return -1;
}

void CountView::PageLabelSet(int pageIndex)
{
    m_current = gateOfPage(pageIndex);
}

GatePage* CountView::current()
{
    return m_current < 0 ? nullptr : &m_parts.pages->page(m_current);
}

bool CountView::refreshSuspended() const
{
    return m_parts.timer1->isActive() || m_parts.timer2->isActive();
}

int CountView::activeGate() const
{
    return gateOfPage(m_parts.pageControl->currentIndex());
}

void CountView::showCounts(int gate, const DayTotals& totals)
{
    const int active = m_parts.pageControl->currentIndex();
    PageLabelSet(pageOfGate(gate));
    if (GatePage* page = current())
        refresh(*page, gate, totals, false);
    PageLabelSet(active);
}

void CountView::UpdateCountView(QTableWidget* grid, int gate, int lastEvent)
{
    if (gate < 0 || gate >= kGates)
        return;
    const DayTotals totals = m_parts.counts->rebuildToday(gate);
    GatePage* page = current();
    if (!grid || !page || page->bandGrid != grid)
        return;
    refresh(*page, gate, totals, lastEvent == 0);
}

void CountView::refresh(GatePage& page, int gate, const DayTotals& totals, bool full)
{
    const bool countOnly = m_parts.settings->countOnly;
    fillGrid(page.bandGrid, gate, totals, full);
    if (full) {
        // In count-only mode the counter's height decides how much room the band grid has.
        if (countOnly) {
            drawCounter(page, gate, totals.sum);
            placeCounter(page, gate);
        }
        if (fitApplies())
            fitLayout(page, gate);
    }
    if (!countOnly)
        fitColumns(page);
    drawCounter(page, gate, totals.sum);
    placeCounter(page, gate);
}

void CountView::fillGrid(QTableWidget* grid, int gate, const DayTotals& totals, bool full)
{
    const PaintPause pause(grid);
    const CountModel& counts = *m_parts.counts;
    // A grid that never had its header gets one, so values always land in existing cells.
    if (full || grid->columnCount() != Rules::kColumns) {
        grid->setRowCount(1);
        grid->setColumnCount(Rules::kColumns);
        for (int column = 0; column < Rules::kColumns; ++column)
            setCell(grid, 0, column, Rules::headerText(column, counts.countExits()));
        setColumns(grid);
    }
    const int start = counts.startBand();
    const int end = counts.endBand();
    const int rows = end - start + 3;
    if (grid->rowCount() < rows)
        grid->setRowCount(rows);

    const int index = counts.FindDayRecord(gate, m_parts.clock->now());
    const DayCountRecord record = index >= 0 ? counts.dayRecord(gate, index) : DayCountRecord{};
    const int aisles = std::min(counts.aisleCount(gate), DayCountRecord::kAisles);
    for (int band = start; band <= end; ++band) {
        const int row = band - start + 1;
        setCell(grid, row, 0, Rules::bandLabel(band));
        qint64 sum = 0;
        for (int aisle = 0; aisle < DayCountRecord::kAisles; ++aisle) {
            const qint64 value = record.bands[aisle][band];
            sum += value;
            setCell(grid, row, aisle + 1, aisle < aisles ? QString::number(value) : QString());
        }
        setCell(grid, row, 4, QString::number(sum));
    }
    const int totalRow = rows - 1;
    setCell(grid, totalRow, 0, Rules::totalRowLabel());
    for (int aisle = 0; aisle < DayCountRecord::kAisles; ++aisle)
        setCell(grid, totalRow, aisle + 1, QString::number(totals.aisles[aisle]));
    setCell(grid, totalRow, 4, QString::number(totals.sum));
}

void CountView::setColumns(QTableWidget* grid)
{
    const QFontMetrics metrics(grid->font());
    const bool exits = m_parts.counts->countExits();
    for (int column = 0; column < Rules::kColumns; ++column)
        grid->setColumnWidth(column, Rules::columnWidth(metrics.horizontalAdvance(Rules::headerText(column, exits))));
}

bool CountView::fitApplies() const
{
    const SettingsRecord& settings = *m_parts.settings;
    return settings.fitLayout || (m_parts.pageControl->window()->isMaximized() && settings.fitLayoutMaximised);
}

void CountView::fitLayout(GatePage& page, int gate)
{
    const CountModel& counts = *m_parts.counts;
    activate(page);
    if (!m_parts.settings->countOnly) {
        const bool maximised = m_parts.pageControl->window()->isMaximized();
        const int rows = Rules::tagRows(m_aspectClass, m_window.verticalScale(), true, maximised,
                                        counts.endBand() - counts.startBand());
        const int base =
            Rules::countBoxHeight(page.tabSheet->height(), tagRowHeight(page), rows, page.nameLabel->height());
        if (base != m_boxBase[gate]) {
            m_boxBase[gate] = base;
            m_parts.timer1->start();
        }
        page.countBox->setFixedHeight(base);
        page.counterPanel->setFixedWidth(
            Rules::counterAreaWidth(page.countPanel->width(), sumOfColumns(page.bandGrid)));
        page.spacePanel->setFixedWidth(0);
        activate(page);
    }
    if (!m_window.windowMinimised())
        fitBandFont(page);
    settleGridWidth(page, gate);
}

void CountView::fitBandFont(GatePage& page)
{
    const SettingsRecord& settings = *m_parts.settings;
    const CountModel& counts = *m_parts.counts;
    QTableWidget* grid = page.bandGrid;
    int size = settings.bandFontSize;
    if (size == 0) {
        const int bands = counts.endBand() - counts.startBand() + 1;
        Rules::FontFitTarget target;
        target.rows = settings.countOnly ? bands + m_rowAllowance : bands + 3;
        target.gridHeight = grid->contentsRect().height();
        target.gridWidth = grid->contentsRect().width();
        target.scrollBarWidth = scrollBarWidth(grid);
        target.countOnly = settings.countOnly;
        target.widthFactor = m_widthFactor;
        target.verticalScale = m_window.verticalScale();
        target.countBoxWidth = page.countBox->width();
        const QFont font = grid->font();
        size = Rules::largestFittingSize(6, settings.countOnly ? 50 : 40, [&](int candidate) {
            return Rules::fontFits(measure(font, candidate), target);
        });
    }
    if (size == grid->font().pointSize())
        return;
    QFont font = grid->font();
    font.setPointSize(size);
    grid->setFont(font);
    grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 2);
    setColumns(grid);
    if (m_forcedPasses > 0) {
        --m_forcedPasses;
        m_parts.timer1->start();
    }
}

Rules::FontSample CountView::measure(const QFont& font, int size)
{
    const auto found = m_fontSamples.find(size);
    if (found != m_fontSamples.end())
        return found->second;
    QFont sized = font;
    sized.setPointSize(size);
    const QFontMetrics metrics(sized);
    Rules::FontSample sample;
    sample.rowHeight = metrics.height() + 2;
    for (int column = 0; column < Rules::kColumns; ++column)
        sample.columnsWidth +=
            Rules::columnWidth(metrics.horizontalAdvance(Rules::headerText(column, m_parts.counts->countExits())));
    m_fontSamples.emplace(size, sample);
    return sample;
}

void CountView::settleGridWidth(GatePage& page, int gate)
{
    QTableWidget* grid = page.bandGrid;
    activate(page);
    const int wanted = sumOfColumns(grid) + scrollBarWidth(grid) + 2 * grid->frameWidth();
    const int room = grid->width() + page.spacePanel->width();
    page.spacePanel->setFixedWidth(std::max(0, room - wanted));
    activate(page);
    if (m_parts.settings->countOnly || m_boxBase[gate] < 0)
        return;
    const int rowHeight = tagRowHeight(page);
    const int spare = grid->contentsRect().height() - grid->verticalHeader()->length();
    const int rows = Rules::spareTagRows(spare, rowHeight);
    if (rows > 0) {
        page.countBox->setFixedHeight(m_boxBase[gate] - rows * (rowHeight + 4));
        activate(page);
    }
}

void CountView::fitColumns(GatePage& page)
{
    const QTableWidget* grid = page.bandGrid;
    const int required = Rules::requiredGridWidth(columnWidths(grid), grid->showGrid() ? 1 : 0);
    const int width = Rules::fittedCounterWidth(page.counterPanel->width(), grid->width(), required,
                                                page.countPanel->contentsRect().width());
    if (width == page.counterPanel->width())
        return;
    page.counterPanel->setFixedWidth(width);
    activate(page);
}

void CountView::drawCounter(GatePage& page, int gate, qint64 total)
{
    const SettingsRecord& settings = *m_parts.settings;
    const Rules::CounterFigures figures = Rules::counterFigures(total, settings.counterDigits, settings.counterComma);
    const int width = Rules::digitWidth(figures.factor, settings.countOnly, page.tabSheet->height(),
                                        page.counterPanel->width(), page.counterPanel->height());
    const Rules::CounterStrip strip = Rules::counterStrip(figures, width);
    const int height = strip.size.height();
    for (int position = 0; position < Rules::kPositions; ++position) {
        QLabel* image = page.inDigits[position];
        image->setFixedSize(strip.widths[position], height);
        if (figures.digit[position] < 0)
            image->clear();
        else
            showPicture(image, (*m_parts.digits)[figures.digit[position]]);
    }
    page.comma->setVisible(strip.commaWidth > 0);
    if (strip.commaWidth > 0) {
        page.comma->setFixedSize(strip.commaWidth, height);
        showPicture(page.comma, *m_parts.comma);
    }
    m_strips[gate] = strip.size;
}

void CountView::placeCounter(GatePage& page, int gate)
{
    const QSize strip = m_strips[gate];
    if (strip.isEmpty())
        return;
    const bool countOnly = m_parts.settings->countOnly;
    QFont font = page.inLabel->font();
    const int size = std::max(1, Rules::captionFontSize(strip.height(), countOnly));
    if (font.pointSize() != size) {
        font.setPointSize(size);
        page.inLabel->setFont(font);
    }
    const QFontMetrics metrics(font);
    const QSize caption(metrics.horizontalAdvance(page.inLabel->text()), metrics.height());
    const Rules::CounterPlacement placement = Rules::placeCounter(page.counterPanel->size(), caption, strip, countOnly);
    page.inLabel->setGeometry(placement.caption);
    page.inCounterPanel->setGeometry(placement.strip);
    if (countOnly)
        page.tagBox->setFixedHeight(placement.strip.top() + strip.height() + 32);
}

void CountView::showPicture(QLabel* image, const QImage& picture)
{
    const qint64 key = picture.cacheKey();
    auto found = m_pixmaps.find(key);
    if (found == m_pixmaps.end())
        found = m_pixmaps.emplace(key, QPixmap::fromImage(picture)).first;
    if (image->pixmap().cacheKey() != found->second.cacheKey())
        image->setPixmap(found->second);
}

void CountView::Timer1Timer()
{
    m_parts.timer1->stop();
    const int pageIndex = m_parts.pageControl->currentIndex();
    if (gateOfPage(pageIndex) < 0)
        return;
    PageLabelSet(pageIndex);
    const int gate = m_current;
    GatePage& page = *current();
    page.bandGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(page.bandGrid->font()).height() + 2);
    UpdateCountView(page.bandGrid, gate, 0);
    GraphView();
    m_window.refreshTagGrid(gate);
    placeCounter(page, gate);
    if (!m_parts.timer1->isActive())
        m_laidOut[gate] = true;
}

void CountView::GraphView()
{
    GatePage* page = current();
    if (!page)
        return;
    const SettingsRecord& settings = *m_parts.settings;
    page->inLabel->setText(settings.counterCaption);
    QPalette palette = page->inLabel->palette();
    palette.setColor(QPalette::WindowText, Rules::toColor(settings.colours.windowText));
    page->inLabel->setPalette(palette);
    const QWidget* window = m_parts.pageControl->window();
    const double ratio = window->height() > 0 ? static_cast<double>(window->width()) / window->height() : 0.0;
    m_aspectClass = Rules::aspectClass(ratio, m_window.horizontalScale(), page->tagBox->height());
    m_window.pickTagFont(m_current, m_aspectClass);
    page->countTitlePanel->hide();
}

void CountView::PageControl1Change(int pageIndex, bool layoutPassPending)
{
    if (m_settingPage)
        return;
    PageLabelSet(pageIndex);
    GatePage* page = current();
    if (!page) {
        m_parts.connectionImage->hide();
        return;
    }
    const int gate = m_current;
    GateTabCaptionSet(gate);
    if (!layoutPassPending && m_parts.pageControl->window()->isMaximized() && m_laidOut[gate]) {
        m_laidOut.fill(true);
        // The page keeps its layout, but its counts may have moved while another page was shown.
        UpdateCountView(page->bandGrid, gate, kPartialRefresh);
        return;
    }
    GraphView();
    m_parts.timer1->start();
}

void CountView::GateTabCaptionSet(int gate)
{
    GateTabCaptionSet(gate, m_window.gateLinkConnected(gate));
}

void CountView::GateTabCaptionSet(int gate, bool connected)
{
    const int pageIndex = pageOfGate(gate);
    if (pageIndex < 0)
        return;
    if (pageIndex == m_parts.pageControl->currentIndex()) {
        showPicture(m_parts.connectionImage, (*m_parts.connectionImages)[connected ? 0 : 1]);
        m_parts.connectionImage->show();
    }
    const SettingsRecord& settings = *m_parts.settings;
    const GateSlotSettings& slot = settings.gates[gate];
    const int state = connected ? 1 : 0;
    if (state == m_linkState[gate] && slot.enabled)
        return;
    m_linkState[gate] = state;
    if (connected)
        m_parts.pageControl->setTabText(pageIndex, slot.shortName);
    else if (!settings.unconnectedMessage.isEmpty())
        m_parts.pageControl->setTabText(pageIndex,
                                        Rules::disconnectedCaption(slot.shortName, settings.unconnectedMessage));
}

void CountView::setActivePage(int pageIndex)
{
    m_settingPage = true;
    m_parts.pageControl->setCurrentIndex(pageIndex);
    m_settingPage = false;
}

void CountView::setDigitStripVisible(bool visible)
{
    if (GatePage* page = current())
        page->inCounterPanel->setVisible(visible);
}

void CountView::paintBoxesInWindowColour()
{
    GatePage* page = current();
    if (!page)
        return;
    const quint32 colour = m_parts.settings->colours.windowBackground;
    fillWithColour(page->tagBox, colour);
    fillWithColour(page->countBox, colour);
}

void CountView::allowForcedPasses()
{
    m_forcedPasses = kForcedPasses;
}

void CountView::resetLayout()
{
    allowForcedPasses();
    m_laidOut.fill(false);
}

void CountView::setFitFactors(double widthFactor, double rowAllowance)
{
    m_widthFactor = widthFactor;
    m_rowAllowance = rowAllowance;
}
