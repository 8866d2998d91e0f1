#include "../mainform/MainFormFixture.h"
#include "unit/reports/XlsxBook.h"

#include "platform/DayNumber.h"
#include "ui/TCalenderForm.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

// "人数カウントXLSX出力(&E)": the period is asked first, the save dialog proposes the output name with
// ".XLSX" and offers the workbook before the CSV file, and the chosen file gets the workbook of that
// period.
TEST(XlsxMenu, AsksThePeriodProposesAnXlsxNameAndWritesTheWorkbook)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings());
    auto form = fixture.create();
    CountModel& counts = form->counts();
    counts.setDayRecordCount(0, 2);
    const QDate days[] = {QDate(2024, 3, 28), QDate(2024, 3, 29)};
    for (int k = 0; k < 2; ++k) {
        DayCountRecord& record = *counts.DayRecordAt(0, k);
        record = DayCountRecord{};
        record.date = DayNumber::fromDate(days[k]);
        record.bands[0][10] = 5 + k;
        record.bands[2][11] = 7;
    }

    const QString chosen = fixture.folder.file(QStringLiteral("月報.XLSX"));
    bool calendarShown = false;
    bool saveShown = false;
    QString proposed;
    QStringList filters;
    const auto answerSave = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        saveShown = true;
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        proposed = dialog->selectedFiles().value(0);
        filters = dialog->nameFilters();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    };
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TCalenderForm*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        calendarShown = true;
        // The save dialog opens once the period is confirmed.
        QTimer::singleShot(0, answerSave);
        dialog->findChild<QPushButton*>(QStringLiteral("NextButton"))->click();
    });
    form->xlsxExportAction()->trigger();

    ASSERT_TRUE(calendarShown);
    ASSERT_TRUE(saveShown);
    // "人数カウント出力ファイル名" with its extension replaced.
    EXPECT_EQ(QFileInfo(proposed).fileName(), QStringLiteral("人数カウント.XLSX"));
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("XLSXファイル (*.XLSX"))) << filters[0].toStdString();
    EXPECT_TRUE(filters[1].startsWith(QStringLiteral("CSVファイル (*.CSV"))) << filters[1].toStdString();

    ASSERT_TRUE(QFileInfo::exists(chosen));
    const XlsxBook book(fixture.folder.read(QFileInfo(chosen).fileName()));
    ASSERT_TRUE(book.open());
    ASSERT_EQ(book.sheets.size(), 8u);
    const auto count = book.sheet("人数カウント");
    ASSERT_TRUE(count);
    const ReportDateRange& range = form->reportRange();
    ASSERT_TRUE(range.confirmed);
    EXPECT_EQ(XlsxBook::value(*count, "K1"), std::to_string(range.outputKind));
    EXPECT_EQ(XlsxBook::value(*count, "K2"),
              DayNumber::toDate(range.first).toString(QStringLiteral("yyyy/MM/dd")).toStdString());
    EXPECT_EQ(XlsxBook::value(*count, "L2"),
              DayNumber::toDate(range.last).toString(QStringLiteral("yyyy/MM/dd")).toStdString());
    // The count rows of the period: the first day's bands in use, column A as text.
    EXPECT_EQ(XlsxBook::value(*count, "A1"), "2024/03/28");
    bool secondDay = false;
    for (int row = 2; row <= 60 && !secondDay; ++row)
        secondDay = XlsxBook::value(*count, "A" + std::to_string(row)) == "2024/03/29";
    EXPECT_TRUE(secondDay);
}
