#include "CountViewFixture.h"

#include "platform/DayNumber.h"

#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

} // namespace

CountViewFixture::CountViewFixture(bool countOnly)
    : clock(DayNumber::fromDateAndTime(QDate(2024, 3, 31), QTime(12, 0)), 1000)
{
    settings.countOnly = countOnly;
    settings.gates[0] = {QStringLiteral("正面玄関ゲート"), QStringLiteral("正面"), true, QStringLiteral("127.0.0.1")};
    settings.gates[1] = {QStringLiteral("通用口ゲート"), QStringLiteral("通用口"), false, QStringLiteral("127.0.0.1")};
    settings.gates[3] = {QStringLiteral("閲覧室ゲート"), QStringLiteral("閲覧室"), true, QStringLiteral("127.0.0.4")};
    for (int k = 0; k < 10; ++k)
        digits[k] = filled(QSize(192, 256), QColor(10 + 20 * k, 0, 0));
    comma = filled(QSize(48, 256), QColor(0, 0, 200));
    connectionImages = {filled(QSize(32, 32), QColor(0, 200, 0)), filled(QSize(32, 32), QColor(200, 200, 0)),
                        filled(QSize(32, 32), QColor(90, 90, 90))};

    auto* layout = new QVBoxLayout(&window);
    tabs = new QTabWidget(&window);
    layout->addWidget(tabs, 1);
    connectionImage = new QLabel(&window);
    connectionImage->setFixedSize(36, 36);
    layout->addWidget(connectionImage);
    timer1.setSingleShot(true);
    timer1.setInterval(1);
    timer2.setInterval(1);

    pages = std::make_unique<GatePages>(tabs);
    for (int slot = 0; slot < kGateSlots; ++slot)
        pages->ComponentInit(slot);
    tabs->addTab(new QWidget, QStringLiteral("検知タグログ"));
    tabs->addTab(new QWidget, QStringLiteral("送受信ログ"));
    window.resize(1000, 700);
}

CountViewFixture::~CountViewFixture() = default;

void CountViewFixture::start()
{
    counts.setBands(settings.startBand, settings.endBand);
    counts.setCountExits(settings.countExits);
    for (int slot = 0; slot < kGateSlots; ++slot) {
        if (settings.countOnly)
            pages->applyCountOnly(slot);
        const auto& gate = settings.gates[slot];
        pages->completePage(slot, gate.name, gate.shortName, settings.colours.evenBackground);
        // The detected-tag grid's rows are one line of its font high.
        pages->page(slot).tagGrid->verticalHeader()->setDefaultSectionSize(18);
    }
    CountViewParts parts;
    parts.settings = &settings;
    parts.clock = &clock;
    parts.counts = &counts;
    parts.pages = pages.get();
    parts.pageControl = tabs;
    parts.timer1 = &timer1;
    parts.timer2 = &timer2;
    parts.connectionImage = connectionImage;
    parts.digits = &digits;
    parts.comma = &comma;
    parts.connectionImages = &connectionImages;
    view = std::make_unique<CountView>(parts, host);
    pass = std::make_unique<LayoutPass>(*view, settings, tabs, timer1, timer2);
    counts.setViewHost(view.get());
    window.show();
}

void CountViewFixture::addEvent(int gate, int hour, std::array<int, 3> increments)
{
    const int n = counts.eventCount();
    CountEvent* event = counts.EventAt(n);
    event->time = DayNumber::fromDateAndTime(DayNumber::toDate(clock.now()), QTime(hour, 30));
    event->gate = static_cast<std::uint8_t>(gate);
    (settings.countExits ? event->out : event->in) = increments;
    counts.setEventCount(n + 1);
    counts.sortEvents();
}

bool CountViewFixture::settle(int limit)
{
    for (int i = 0; i < limit; ++i) {
        if (timer1.isActive())
            view->Timer1Timer();
        else if (timer2.isActive())
            pass->Timer2Timer();
        else
            return true;
    }
    return false;
}

bool CountViewFixture::finishRefresh(int limit)
{
    for (int i = 0; i < limit; ++i) {
        if (!timer1.isActive())
            return true;
        view->Timer1Timer();
    }
    return false;
}

int CountViewFixture::shownDigit(int gate, int position) const
{
    const QPixmap picture = pages->page(gate).inDigits[position]->pixmap();
    if (picture.isNull())
        return -1;
    return (picture.toImage().pixelColor(0, 0).red() - 10) / 20;
}

QString CountViewFixture::cell(int gate, int row, int column) const
{
    const QTableWidgetItem* item = pages->page(gate).bandGrid->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}
