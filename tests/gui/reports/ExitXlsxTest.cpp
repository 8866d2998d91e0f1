#include "../mainform/MainFormFixture.h"

#include "platform/DayNumber.h"
#include "reports/XlsxPackage.h"

#include <QFile>

#include <gtest/gtest.h>

#include <pugixml.hpp>

// The exit export with an .xlsx name (here picked with Shift held) writes the XLSX report of the exit
// period, not nothing.
TEST(ExitXlsx, AnXlsxNameGetsTheWorkbookOfTheExitPeriod)
{
    MainFormFixture fixture;
    QStringList lines = threeGateSettings();
    lines.replace(7, QStringLiteral("終了時人数カウントCSV出力=YES"));
    fixture.writeSettings(lines);
    fixture.prompts.shift = true;
    fixture.prompts.savePath = fixture.folder.file(QStringLiteral("exit.xlsx"));
    auto form = fixture.create();
    form->show();
    ASSERT_TRUE(form->close());

    QFile file(fixture.prompts.savePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray workbook = file.readAll();
    XlsxPackage package;
    ASSERT_TRUE(package.open(workbook, nullptr));
    const std::string count = package.read("xl/worksheets/sheet1.xml").value_or(std::string());
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_buffer(count.data(), count.size()));
    const pugi::xml_node k2 = doc.document_element().child("sheetData").find_node([](pugi::xml_node n) {
        return std::string(n.name()) == "c" && std::string(n.attribute("r").value()) == "K2";
    });
    // "終了時CSV出力範囲" 1: the two years up to today.
    const QDate first = DayNumber::toDate(fixture.clock.now()).addYears(-2);
    EXPECT_EQ(std::string(k2.child("is").child_value("t")), first.toString(QStringLiteral("yyyy/MM/dd")).toStdString());
}
