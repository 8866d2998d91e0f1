#include "ui/GatePages.h"

#include "ui/CountLayoutRules.h"

#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kNameLabelHeight = 30;
constexpr int kCountBoxHeight = 314;
constexpr int kCountTitleHeight = 19;
constexpr int kCounterPanelWidth = 306;
constexpr int kDigitWidth = 33;
constexpr int kDigitHeight = 44;
constexpr int kCommaWidth = 8;

template <typename T> T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QFont counterFont()
{
    // The large counter's caption font; the serif CJK face stands in for the designed mincho face.
    QFont font(QStringLiteral("Noto Serif CJK JP"));
    font.setBold(true);
    font.setPixelSize(49);
    return font;
}

QFrame* panel(const QString& name, QWidget* parent)
{
    auto* frame = named(new QFrame(parent), name);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

QTableWidget* grid(const QString& name, QWidget* parent)
{
    auto* table = named(new QTableWidget(1, 1, parent), name);
    table->verticalHeader()->hide();
    table->horizontalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

QLabel* digitImage(const QString& name, QWidget* parent, int width)
{
    auto* image = named(new QLabel(parent), name);
    image->setScaledContents(true);
    image->setFixedSize(width, kDigitHeight);
    return image;
}

} // namespace

GatePages::GatePages(QTabWidget* pageControl) : m_pageControl(pageControl) {}

void GatePages::ComponentInit(int slot)
{
    if (slot < 0 || slot >= kSlots || isBuilt(slot))
        return;
    if (slot == 0)
        buildTemplate();
    else
        buildCopy(slot);
}

void GatePages::buildTemplate()
{
    GatePage& page = m_pages[0];
    buildPage(0, page, QString());
    m_pageControl->insertTab(0, page.tabSheet, QStringLiteral("GATE-0"));
}

void GatePages::buildCopy(int slot)
{
    GatePage& page = m_pages[slot];
    buildPage(slot, page, QStringLiteral("_") + QString::number(slot));
    // Slots 1..14 reuse the designed labels and group boxes, so those keep their designed names.
    page.nameLabel->setObjectName(QStringLiteral("Label") + QString::number(7 + slot - 1));
    page.tagBox->setObjectName(QStringLiteral("GroupBox") + QString::number(2 * slot - 1));
    page.countBox->setObjectName(QStringLiteral("GroupBox") + QString::number(2 * slot));
    const int index = std::min(slot, m_pageControl->count());
    m_pageControl->insertTab(index, page.tabSheet, QStringLiteral("GATE-") + QString::number(slot));
    m_pageControl->setTabVisible(index, false);
    page.tabSheet->hide();
}

void GatePages::buildPage(int slot, GatePage& page, const QString& suffix)
{
    const auto name = [&suffix](const QString& base) { return base + suffix; };
    page.tabSheet = named(new QWidget, slot == 0 ? QStringLiteral("TabSheet1") : name(QStringLiteral("TabSheet1")));
    auto* pageLayout = new QVBoxLayout(page.tabSheet);
    pageLayout->setContentsMargins(2, 2, 2, 2);

    page.nameLabel = named(new QLabel(page.tabSheet), name(QStringLiteral("Gate1NameLabel")));
    page.nameLabel->setFixedHeight(kNameLabelHeight);
    pageLayout->addWidget(page.nameLabel);

    page.tagBox = named(new QGroupBox(QStringLiteral("検知タグ"), page.tabSheet), name(QStringLiteral("Gate1TagBox")));
    auto* tagLayout = new QVBoxLayout(page.tagBox);
    page.tagGrid = grid(name(QStringLiteral("TagGate1Grid")), page.tagBox);
    tagLayout->addWidget(page.tagGrid);
    pageLayout->addWidget(page.tagBox, 1);

    page.countBox =
        named(new QGroupBox(QStringLiteral("人数カウント"), page.tabSheet), name(QStringLiteral("Gate1PcBox")));
    page.countBox->setFixedHeight(kCountBoxHeight);
    auto* countLayout = new QVBoxLayout(page.countBox);
    countLayout->setContentsMargins(2, 2, 2, 2);
    page.countPanel = panel(name(QStringLiteral("Panel1")), page.countBox);
    countLayout->addWidget(page.countPanel);
    pageLayout->addWidget(page.countBox);

    auto* panelLayout = new QVBoxLayout(page.countPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    page.countTitlePanel = panel(name(QStringLiteral("CountPanel1")), page.countPanel);
    page.countTitlePanel->setFixedHeight(kCountTitleHeight);
    panelLayout->addWidget(page.countTitlePanel);
    auto* row = new QHBoxLayout;
    panelLayout->addLayout(row, 1);
    page.bandGrid = grid(name(QStringLiteral("Gate1PCGrid")), page.countPanel);
    row->addWidget(page.bandGrid, 1);
    page.spacePanel = panel(name(QStringLiteral("Gate1SpacePanel")), page.countPanel);
    page.spacePanel->setFixedWidth(0);
    row->addWidget(page.spacePanel);
    page.counterPanel = panel(name(QStringLiteral("Gate1CounterPanel")), page.countPanel);
    page.counterPanel->setFixedWidth(kCounterPanelWidth);
    row->addWidget(page.counterPanel);

    auto* counterLayout = new QVBoxLayout(page.counterPanel);
    counterLayout->setContentsMargins(0, 0, 0, 0);
    page.inLabel =
        named(new QLabel(QStringLiteral("入館者数"), page.counterPanel), name(QStringLiteral("InGate1Label")));
    page.inLabel->setFont(counterFont());
    page.inLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    counterLayout->addWidget(page.inLabel);
    page.inCounterPanel = panel(name(QStringLiteral("InCounterPanel")), page.counterPanel);
    auto* inLayout = new QHBoxLayout(page.inCounterPanel);
    inLayout->setContentsMargins(0, 0, 0, 0);
    inLayout->setSpacing(0);
    // Creation order gives the left-to-right order: five high digits, the comma, three low digits.
    for (int position = 7; position >= 0; --position) {
        page.inDigits[position] = digitImage(name(QStringLiteral("CounterG1I") + QString::number(position)),
                                             page.inCounterPanel, kDigitWidth);
        inLayout->addWidget(page.inDigits[position]);
        if (position == 3) {
            page.comma = digitImage(name(QStringLiteral("G1Camma")), page.inCounterPanel, kCommaWidth);
            inLayout->addWidget(page.comma);
        }
    }
    inLayout->addStretch(1);
    counterLayout->addWidget(page.inCounterPanel);
    page.outLabel =
        named(new QLabel(QStringLiteral("出館者数"), page.counterPanel), name(QStringLiteral("OutGate1Label")));
    page.outLabel->setFont(counterFont());
    page.outLabel->hide();
    counterLayout->addWidget(page.outLabel);
    page.outCounterPanel = panel(name(QStringLiteral("OutCounterPanel")), page.counterPanel);
    auto* outLayout = new QHBoxLayout(page.outCounterPanel);
    outLayout->setContentsMargins(0, 0, 0, 0);
    outLayout->setSpacing(0);
    for (int position = 7; position >= 0; --position) {
        page.outDigits[position] = digitImage(name(QStringLiteral("CounterG1O") + QString::number(position)),
                                              page.outCounterPanel, kDigitWidth);
        outLayout->addWidget(page.outDigits[position]);
    }
    page.outCounterPanel->hide();
    counterLayout->addWidget(page.outCounterPanel);
    counterLayout->addStretch(1);
}

void GatePages::applyCountOnly(int slot)
{
    GatePage& page = m_pages[slot];
    if (!page.tabSheet)
        return;
    page.tagGrid->hide();
    page.tagGrid->move(page.tagGrid->x(), -1000);
    page.tagBox->setTitle(QString());
    page.counterPanel->setParent(page.tagBox);
    page.tagBox->layout()->addWidget(page.counterPanel);
    page.counterPanel->setMinimumWidth(0);
    page.counterPanel->setMaximumWidth(QWIDGETSIZE_MAX);
    page.counterPanel->show();
    page.countBox->setMinimumHeight(0);
    page.countBox->setMaximumHeight(QWIDGETSIZE_MAX);
    auto* pageLayout = static_cast<QVBoxLayout*>(page.tabSheet->layout());
    pageLayout->setStretchFactor(page.tagBox, 2);
    pageLayout->setStretchFactor(page.countBox, 3);
}

void GatePages::completePage(int slot, const QString& name, const QString& shortName, quint32 background)
{
    GatePage& page = m_pages[slot];
    if (!page.tabSheet)
        return;
    page.nameLabel->setText(name);
    const int index = m_pageControl->indexOf(page.tabSheet);
    m_pageControl->setTabText(index, shortName);
    m_pageControl->setTabVisible(index, !name.isEmpty());
    const QColor colour = CountLayoutRules::toColor(background);
    for (QWidget* widget : {static_cast<QWidget*>(page.tagGrid), static_cast<QWidget*>(page.tagBox),
                            static_cast<QWidget*>(page.countBox)}) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour);
        palette.setColor(QPalette::Base, colour);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
}
