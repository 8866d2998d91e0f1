#include "ui/TCalenderForm.h"
#include "counting/CountModel.h"
#include "platform/DayNumber.h"
#include "platform/ManualClock.h"
#include "reports/CalenderModel.h"
#include "reports/ReportDateRange.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

class TCalenderFormTest : public ::testing::Test
{
protected:
    void addRecord(int gate, const QDate& date)
    {
        const int n = model.dayRecordCount(gate);
        model.setDayRecordCount(gate, n + 1);
        model.DayRecordAt(gate, n)->date = DayNumber::fromDate(date);
    }

    template <typename T> T* child(const char* name)
    {
        T* widget = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Runs the dialog modally; while it is up, act looks at it and closes it.
    bool runWith(const std::function<void()>& act)
    {
        QTimer::singleShot(0, &dialog, act);
        return dialog.FormCreate();
    }

    ManualClock clock{DayNumber::fromDate(QDate(2021, 4, 20)) + 0.4};
    CountModel model{clock};
    ReportDateRange range;
    CalenderModel calender{model, clock, range, 8, 21};
    TCalenderForm dialog{calender};
};

TEST_F(TCalenderFormTest, ShowsTheModelAndConfirmsWithOk)
{
    addRecord(0, QDate(2021, 4, 2));
    const bool confirmed = runWith([&] {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("出力範囲年月日の指定"));
        EXPECT_EQ(dialog.size(), QSize(751, 221));
        EXPECT_TRUE(child<QRadioButton>("RadioButton1")->isChecked());
        auto* startYear = child<QComboBox>("StartYearBox");
        EXPECT_EQ(startYear->count(), 3);
        EXPECT_EQ(startYear->currentText(), QStringLiteral("2021年"));
        EXPECT_EQ(child<QComboBox>("StartMonthBox")->currentText(), QStringLiteral("4月"));
        EXPECT_EQ(child<QComboBox>("StartDayBox")->currentText(), QStringLiteral("2日"));
        EXPECT_EQ(child<QComboBox>("EndDayBox")->currentText(), QStringLiteral("20日"));
        EXPECT_EQ(
            child<QLabel>("InfoLabel2")->text(),
            QStringLiteral("2021/04/02 8:00:00から2021/04/20 21:59:59までの人数カウントがファイルに出力されます。"));

        // The operator picks the monthly report: the end follows the start and its boxes lock.
        child<QRadioButton>("RadioButton3")->click();
        EXPECT_FALSE(child<QComboBox>("EndMonthBox")->isEnabled());
        EXPECT_FALSE(child<QComboBox>("StartDayBox")->isEnabled());
        EXPECT_EQ(child<QComboBox>("EndDayBox")->currentText(), QStringLiteral("30日"));
        auto* startMonth = child<QComboBox>("StartMonthBox");
        emit startMonth->activated(1);
        EXPECT_EQ(child<QComboBox>("EndDayBox")->count(), 28);
        EXPECT_EQ(child<QLabel>("InfoLabel2")->text(), calender.periodText());
        emit startMonth->activated(3);

        child<QPushButton>("NextButton")->click();
    });

    EXPECT_TRUE(confirmed);
    EXPECT_TRUE(range.confirmed);
    EXPECT_EQ(range.outputKind, 2);
    EXPECT_EQ(DayNumber::formatDateTime(range.last), QStringLiteral("2021/04/30 21:59:59"));
}

TEST_F(TCalenderFormTest, CloseButtonAndEscapeLeaveTheRangeUnconfirmed)
{
    addRecord(14, QDate(2021, 4, 2));
    EXPECT_FALSE(runWith([&] { child<QPushButton>("CloseButton")->click(); }));
    EXPECT_FALSE(range.confirmed);

    EXPECT_FALSE(runWith([&] { QTest::keyClick(&dialog, Qt::Key_Escape); }));
    EXPECT_FALSE(range.confirmed);
}

TEST_F(TCalenderFormTest, APeriodWithoutDataIsRefusedWithAWarningAndOneMoveUp)
{
    QString warning;
    const bool confirmed = runWith([&] {
        dialog.move(dialog.x(), 300);
        const int top = dialog.y();
        const auto answerWarning = [&] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                    warning = box->windowTitle() + QLatin1Char('|') + box->text();
                    box->accept();
                }
        };
        QTimer::singleShot(0, &dialog, answerWarning);
        child<QPushButton>("NextButton")->click();
        EXPECT_EQ(dialog.y(), top - 96);
        QTimer::singleShot(0, &dialog, answerWarning);
        child<QPushButton>("NextButton")->click();
        EXPECT_EQ(dialog.y(), top - 96);
        EXPECT_TRUE(dialog.isVisible());
        child<QPushButton>("CloseButton")->click();
    });

    EXPECT_FALSE(confirmed);
    EXPECT_EQ(warning, QStringLiteral("出力範囲年月日の指定|指定された範囲内に人数カウントデータが存在しません!"));
}

} // namespace
