#include "ui/TCalenderForm.h"

#include "reports/CalenderModel.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

void fill(QComboBox* box, const QStringList& items, int index)
{
    const QSignalBlocker blocker(box);
    if (box->count() != items.size() || (box->count() > 0 && box->itemText(0) != items.first())) {
        box->clear();
        box->addItems(items);
    }
    box->setCurrentIndex(index);
}

} // namespace

TCalenderForm::TCalenderForm(CalenderModel& model, QWidget* parent) : QDialog(parent), m_model(model)
{
    setObjectName(QStringLiteral("CalenderForm"));
    setWindowTitle(CalenderModel::caption());
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(19);
    setFont(font);
    setFixedSize(751, 221);

    const auto radio = [this](const QString& name, const QString& text, int x) {
        auto* button = new QRadioButton(text, this);
        button->setObjectName(name);
        button->setGeometry(x, 12, 180, 28);
        connect(button, &QRadioButton::clicked, this, &TCalenderForm::RadioButton1Click);
        return button;
    };
    RadioButton1 = radio(QStringLiteral("RadioButton1"), QStringLiteral("任意範囲出力"), 16);
    RadioButton2 = radio(QStringLiteral("RadioButton2"), QStringLiteral("日単位(日報)出力"), 196);
    RadioButton3 = radio(QStringLiteral("RadioButton3"), QStringLiteral("月単位(月報)出力"), 376);
    RadioButton4 = radio(QStringLiteral("RadioButton4"), QStringLiteral("年単位(年報)出力"), 556);

    Label1 = new QLabel(QStringLiteral("出力開始年月日"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 52, 340, 26);
    StartYearBox = addBox(QStringLiteral("StartYearBox"), 16, 80, 130, &CalenderModel::StartYearBoxChange);
    StartMonthBox = addBox(QStringLiteral("StartMonthBox"), 152, 80, 96, &CalenderModel::StartMonthBoxChange);
    StartDayBox = addBox(QStringLiteral("StartDayBox"), 254, 80, 96, &CalenderModel::StartDayBoxChange);

    Label2 = new QLabel(QStringLiteral("出力終了年月日"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(392, 52, 340, 26);
    EndYearBox = addBox(QStringLiteral("EndYearBox"), 392, 80, 130, &CalenderModel::EndYearBoxChange);
    EndMonthBox = addBox(QStringLiteral("EndMonthBox"), 528, 80, 96, &CalenderModel::EndMonthBoxChange);
    EndDayBox = addBox(QStringLiteral("EndDayBox"), 630, 80, 96, &CalenderModel::EndDayBoxChange);

    InfoLabel2 = new QLabel(this);
    InfoLabel2->setObjectName(QStringLiteral("InfoLabel2"));
    InfoLabel2->setGeometry(16, 124, 719, 28);

    NextButton = new QPushButton(QStringLiteral("OK(&O)"), this);
    NextButton->setObjectName(QStringLiteral("NextButton"));
    NextButton->setGeometry(440, 168, 140, 36);
    NextButton->setDefault(true);
    connect(NextButton, &QPushButton::clicked, this, &TCalenderForm::NextButtonClick);

    CloseButton = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(595, 168, 140, 36);
    connect(CloseButton, &QPushButton::clicked, this, &TCalenderForm::CloseButtonClick);
}

QComboBox* TCalenderForm::addBox(const QString& name, int x, int y, int width, void (CalenderModel::*change)(int))
{
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setGeometry(x, y, width, 30);
    // Only the operator's choices count as changes; the boxes are refilled from the model silently.
    connect(box, &QComboBox::activated, this, [this, change](int index) {
        (m_model.*change)(index);
        showModel();
    });
    return box;
}

bool TCalenderForm::FormCreate()
{
    m_model.FormCreate();
    {
        const QSignalBlocker blocker(RadioButton1);
        RadioButton1->setChecked(true);
    }
    showModel();
    if (const QWidget* owner = parentWidget())
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    exec();
    return result() == QDialog::Accepted;
}

bool TCalenderForm::ask(QWidget* parent, const CountModel& model, const Clock& clock, ReportDateRange& range,
                        int startBand, int endBand)
{
    CalenderModel calender(model, clock, range, startBand, endBand);
    TCalenderForm dialog(calender, parent);
    return dialog.FormCreate();
}

void TCalenderForm::showModel()
{
    using Side = CalenderModel::Side;
    using Box = CalenderModel::Box;
    fill(StartYearBox, m_model.yearItems(), m_model.yearIndex(Side::Start));
    fill(StartMonthBox, CalenderModel::monthItems(), m_model.monthIndex(Side::Start));
    fill(StartDayBox, m_model.dayItems(Side::Start), m_model.dayIndex(Side::Start));
    fill(EndYearBox, m_model.yearItems(), m_model.yearIndex(Side::End));
    fill(EndMonthBox, CalenderModel::monthItems(), m_model.monthIndex(Side::End));
    fill(EndDayBox, m_model.dayItems(Side::End), m_model.dayIndex(Side::End));
    StartYearBox->setEnabled(m_model.isEnabled(Box::StartYear));
    StartMonthBox->setEnabled(m_model.isEnabled(Box::StartMonth));
    StartDayBox->setEnabled(m_model.isEnabled(Box::StartDay));
    EndYearBox->setEnabled(m_model.isEnabled(Box::EndYear));
    EndMonthBox->setEnabled(m_model.isEnabled(Box::EndMonth));
    EndDayBox->setEnabled(m_model.isEnabled(Box::EndDay));
    InfoLabel2->setText(m_model.periodText());
}

void TCalenderForm::RadioButton1Click()
{
    const QRadioButton* buttons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    for (int mode = 0; mode < 4; ++mode)
        if (buttons[mode] == sender()) {
            // A click on the mode already shown changes nothing.
            if (mode != m_model.mode())
                m_model.RadioButton1Click(mode);
            break;
        }
    showModel();
}

void TCalenderForm::NextButtonClick()
{
    const CalenderModel::OkResult result = m_model.NextButtonClick(y());
    if (result.accepted) {
        accept();
        return;
    }
    move(x(), result.top);
    showModel();
    QMessageBox box(QMessageBox::Warning, CalenderModel::caption(), CalenderModel::noDataWarning(), QMessageBox::Ok,
                    this);
    box.exec();
}

void TCalenderForm::CloseButtonClick()
{
    reject();
}
