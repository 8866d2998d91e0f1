#pragma once

#include <QDialog>

class CalenderModel;
class Clock;
class CountModel;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
struct ReportDateRange;

// "出力範囲年月日の指定": the modal dialog that picks the period of a count export. It only shows
// CalenderModel and hands the operator's input to it.
class TCalenderForm final : public QDialog
{
    Q_OBJECT

public:
    TCalenderForm(CalenderModel& model, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TCalenderForm)

    // Prepares the model, centres the dialog on its parent and shows it modally; true when the range was
    // confirmed by OK.
    bool FormCreate();

    // Creates the dialog for one use, as the export commands do.
    static bool ask(QWidget* parent, const CountModel& model, const Clock& clock, ReportDateRange& range, int startBand,
                    int endBand);

private slots:
    void NextButtonClick();
    void CloseButtonClick();
    void RadioButton1Click();

private:
    QComboBox* addBox(const QString& name, int x, int y, int width, void (CalenderModel::*change)(int));
    // Puts the model's lists, selections, enabled boxes and period text on the widgets.
    void showModel();

    CalenderModel& m_model;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QLabel* Label1;
    QLabel* Label2;
    QComboBox* StartYearBox;
    QComboBox* StartMonthBox;
    QComboBox* StartDayBox;
    QComboBox* EndYearBox;
    QComboBox* EndMonthBox;
    QComboBox* EndDayBox;
    QLabel* InfoLabel2;
    QPushButton* NextButton;
    QPushButton* CloseButton;
};
