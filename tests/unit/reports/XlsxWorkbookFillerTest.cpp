#include "XlsxBook.h"
#include "XlsxTemplateEdit.h"

#include "reports/XlsxFillData.h"
#include "reports/XlsxTemplate.h"
#include "reports/XlsxWorkbookFiller.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <set>

namespace {

const std::vector<std::string> kChartSheets = {"時間帯別", "曜日別", "日別", "月別", "年度別"};

XlsxCountRow row(const QDate& date, int gate, int band, int a1, int a2, int a3)
{
    XlsxCountRow r;
    r.julianDay = date.toJulianDay();
    r.gate = static_cast<std::uint8_t>(gate);
    r.band = static_cast<std::uint8_t>(band);
    r.aisles[0] = a1;
    r.aisles[1] = a2;
    r.aisles[2] = a3;
    return r;
}

class XlsxWorkbookFillerTest : public ::testing::Test
{
protected:
    XlsxWorkbookFillerTest()
    {
        data.outputKind = 1;
        data.first = QDate(2021, 4, 5);
        data.last = QDate(2021, 4, 5);
        data.values = {0, 0, 1, 4, 4, 30, 0, 7, 1};
        data.gateAddresses[0] = QStringLiteral("127.0.0.1");
        data.gateNames[0] = QStringLiteral("正面玄関");
        data.gateAddresses[2] = QStringLiteral("127.0.0.3");
        data.gateNames[2] = QStringLiteral("南口");
        data.rows = {row(QDate(2021, 4, 5), 0, 8, 12, 0, 3), row(QDate(2021, 4, 5), 0, 9, 7, 1, 0),
                     row(QDate(2021, 4, 5), 2, 8, -5, 2147483647, 1)};
    }

    XlsxWorkbookFiller::Outcome fill(const QByteArray& workbook)
    {
        XlsxWorkbookFiller filler(data);
        const XlsxWorkbookFiller::Outcome outcome = filler.prepare(workbook);
        if (outcome != XlsxWorkbookFiller::Outcome::Ready)
            return outcome;
        output.clear();
        QBuffer buffer(&output);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(filler.write(buffer, [&](std::size_t rows) { progress.push_back(rows); }))
            << filler.error().toStdString();
        return outcome;
    }

    XlsxFillData data;
    QByteArray output;
    std::vector<std::size_t> progress;
};

TEST_F(XlsxWorkbookFillerTest, WritesTheCountRowsAndThePeriodCells)
{
    ASSERT_EQ(fill(XlsxTemplate::builtIn()), XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook book(output);
    ASSERT_TRUE(book.open());
    const auto count = book.sheet("人数カウント");
    ASSERT_TRUE(count);
    // Row 1 keeps the template's label in J1 beside the count row.
    const std::vector<std::pair<std::string, std::string>> cells = {
        {"A1", "2021/04/05"}, {"B1", "8"},          {"C1", "月"}, {"D1", "127.0.0.1"},  {"E1", "正面玄関"},
        {"F1", "12"},         {"G1", "0"},          {"H1", "3"},  {"B2", "9"},          {"E3", "南口"},
        {"F3", "-5"},         {"G3", "2147483647"}, {"K1", "1"},  {"K2", "2021/04/05"}, {"L2", "2021/04/05"},
    };
    for (const auto& [reference, expected] : cells)
        EXPECT_EQ(XlsxBook::value(*count, reference), expected) << reference;
    EXPECT_EQ(std::string(XlsxBook::cell(*count, "A1").attribute("t").value()), "inlineStr");
    // The dates keep the text format of column A.
    const std::string textStyle =
        count->document_element().child("cols").find_child_by_attribute("col", "min", "1").attribute("style").value();
    EXPECT_FALSE(textStyle.empty());
    EXPECT_EQ(XlsxBook::cell(*count, "A3").attribute("s").value(), textStyle);
    EXPECT_TRUE(XlsxBook::cell(*count, "J1"));
    EXPECT_EQ(std::string(XlsxBook::cell(*count, "K5").child_value("f")), "MIN(DATEVALUE(INDIRECT($L$4)))");
    EXPECT_FALSE(XlsxBook::cell(*count, "A4"));

    const auto sheet1 = book.sheet("Sheet1");
    ASSERT_TRUE(sheet1);
    const std::vector<std::pair<std::string, std::string>> work = {
        {"G40", "0"},  {"H40", "0"}, {"I40", "1"},  {"G73", "4"},  {"H73", "4"},
        {"I73", "30"}, {"J73", "0"}, {"G102", "7"}, {"H102", "1"},
    };
    for (const auto& [reference, expected] : work)
        EXPECT_EQ(XlsxBook::value(*sheet1, reference), expected) << reference;
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), data.rows.size());
}

TEST_F(XlsxWorkbookFillerTest, FormulaResultsAreDroppedAndAFullCalculationRequested)
{
    // A stale calculation chain of a user's template must not reach the report.
    std::string types = partText(XlsxTemplate::builtIn(), "[Content_Types].xml");
    replaceAll(types, "</Types>",
               "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/></Types>");
    std::string rels = partText(XlsxTemplate::builtIn(), "xl/_rels/workbook.xml.rels");
    replaceAll(rels, "</Relationships>",
               "<Relationship Id=\"rId99\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
               "relationships/calcChain\" Target=\"calcChain.xml\"/></Relationships>");
    const QByteArray withChain = withParts(
        XlsxTemplate::builtIn(), {{"[Content_Types].xml", types},
                                  {"xl/_rels/workbook.xml.rels", rels},
                                  {"xl/calcChain.xml", std::string("<calcChain xmlns=\"http://schemas."
                                                                   "openxmlformats.org/spreadsheetml/2006/"
                                                                   "main\"><c r=\"K4\" i=\"6\"/></calcChain>")}});
    ASSERT_EQ(fill(withChain), XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook book(output);
    ASSERT_TRUE(book.open());
    EXPECT_FALSE(book.has("xl/calcChain.xml"));
    EXPECT_EQ(partText(output, "[Content_Types].xml").find("calcChain"), std::string::npos);
    EXPECT_EQ(partText(output, "xl/_rels/workbook.xml.rels").find("calcChain"), std::string::npos);
    EXPECT_EQ(book.workbook->document_element().child("calcPr").attribute("fullCalcOnLoad").as_int(), 1);
    int formulas = 0;
    for (const XlsxBook::Sheet& sheet : book.sheets) {
        if (sheet.chart)
            continue;
        const auto doc = book.part(sheet.part);
        ASSERT_TRUE(doc) << sheet.name;
        for (const pugi::xpath_node& c : doc->select_nodes("//c[f]")) {
            ++formulas;
            EXPECT_FALSE(c.node().child("v")) << sheet.name << " " << c.node().attribute("r").value();
        }
    }
    EXPECT_GT(formulas, 900);
}

struct VisibilityCase
{
    const char* name;
    bool showWorkSheets;
    bool showCountSheet;
    std::set<std::string> visible;
};

class XlsxVisibilityTest : public XlsxWorkbookFillerTest, public ::testing::WithParamInterface<VisibilityCase>
{
};

TEST_P(XlsxVisibilityTest, ShowsTheSheetsTheSettingsAskForAndOpensOnTheFirstChart)
{
    data.showWorkSheets = GetParam().showWorkSheets;
    data.showCountSheet = GetParam().showCountSheet;
    ASSERT_EQ(fill(XlsxTemplate::builtIn()), XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook book(output);
    ASSERT_EQ(book.sheets.size(), 8u);
    std::set<std::string> visible;
    for (const XlsxBook::Sheet& sheet : book.sheets)
        if (sheet.state.empty() || sheet.state == "visible")
            visible.insert(sheet.name);
    EXPECT_EQ(visible, GetParam().visible);
    EXPECT_EQ(
        book.workbook->document_element().child("bookViews").child("workbookView").attribute("activeTab").as_int(), 0);
    for (std::size_t k = 0; k < book.sheets.size(); ++k) {
        const auto doc = book.part(book.sheets[k].part);
        const bool selected =
            doc->document_element().child("sheetViews").child("sheetView").attribute("tabSelected").as_bool();
        EXPECT_EQ(selected, k == 0) << book.sheets[k].name;
    }
}

std::set<std::string> chartsAnd(std::initializer_list<std::string> more)
{
    std::set<std::string> names(kChartSheets.begin(), kChartSheets.end());
    names.insert(more);
    return names;
}

INSTANTIATE_TEST_SUITE_P(
    ShowSettings, XlsxVisibilityTest,
    ::testing::Values(VisibilityCase{"BothNo", false, false, chartsAnd({})},
                      VisibilityCase{"WorkSheets", true, false, chartsAnd({"Sheet1", "Sheet2"})},
                      VisibilityCase{"CountSheet", false, true, chartsAnd({"人数カウント"})},
                      VisibilityCase{"Both", true, true, chartsAnd({"人数カウント", "Sheet1", "Sheet2"})}),
    [](const ::testing::TestParamInfo<VisibilityCase>& info) { return std::string(info.param.name); });

TEST_F(XlsxWorkbookFillerTest, GateTextsOfAnyKindStayWellFormed)
{
    data.gateNames[0] = QStringLiteral("<A&B> \"東\" 😀\x01 ");
    data.gateAddresses[0] = QStringLiteral(" 10.0.0.1");
    data.gateNames[2] = QString();
    ASSERT_EQ(fill(XlsxTemplate::builtIn()), XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook book(output);
    const auto count = book.sheet("人数カウント");
    ASSERT_TRUE(count) << "the count sheet does not parse";
    EXPECT_EQ(XlsxBook::value(*count, "E1"), "<A&B> \"東\" 😀 ");
    EXPECT_EQ(XlsxBook::value(*count, "D1"), " 10.0.0.1");
    EXPECT_EQ(std::string(XlsxBook::cell(*count, "E1").child("is").child("t").attribute("xml:space").value()),
              "preserve");
    // An empty name leaves its cell empty, as a paste of an empty text would.
    EXPECT_FALSE(XlsxBook::cell(*count, "E3"));
    EXPECT_EQ(XlsxBook::value(*count, "F3"), "-5");
}

TEST_F(XlsxWorkbookFillerTest, AnEmptyPeriodStillGivesTheWholeWorkbook)
{
    data.rows.clear();
    ASSERT_EQ(fill(XlsxTemplate::builtIn()), XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook book(output);
    const auto count = book.sheet("人数カウント");
    ASSERT_TRUE(count);
    EXPECT_EQ(book.sheets.size(), 8u);
    EXPECT_FALSE(XlsxBook::cell(*count, "A1"));
    EXPECT_EQ(XlsxBook::value(*count, "K1"), "1");
    EXPECT_EQ(XlsxBook::value(*count, "K2"), "2021/04/05");
}

TEST_F(XlsxWorkbookFillerTest, ChartsTakeTheirDataFromTheNamedRanges)
{
    const QByteArray workbook = XlsxTemplate::builtIn();
    ASSERT_EQ(fill(workbook), XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook book(output);
    struct Expected
    {
        std::string title;
        std::vector<std::string> categories;
        std::vector<std::string> values;
        const char* plot;
    };
    std::vector<std::string> bandValues;
    for (const char* day : {"月", "火", "水", "木", "金", "土", "日"})
        bandValues.push_back(std::string("Sheet2!") + day + "曜日の時間帯別入館者数");
    const std::vector<Expected> charts = {
        {"Sheet2!$A$37", std::vector<std::string>(7, "Sheet2!時間範囲"), bandValues, "c:lineChart"},
        {"Sheet2!$A$38", {"Sheet2!$B$33:$H$33"}, {"Sheet2!$B$34:$H$34"}, "c:barChart"},
        {"Sheet2!$A$39", {"Sheet1!日範囲"}, {"Sheet1!日別入館者数"}, "c:barChart"},
        {"Sheet2!$A$40", {"Sheet1!月範囲"}, {"Sheet1!月別入館者数"}, "c:barChart"},
        {"Sheet2!$A$41", {"Sheet1!年範囲"}, {"Sheet1!年度別入館者数"}, "c:bar3DChart"},
    };
    const std::vector<std::string> cachedTitles = {"令和3年4月5日の時間帯別入館者数", "令和3年4月5日の曜日別入館者数",
                                                   "令和3年4月5日の日別入館者数", "令和3年4月の入館者数",
                                                   "令和3年度の入館者数"};
    for (std::size_t k = 0; k < charts.size(); ++k) {
        // Chart sheet k -> its drawing -> its chart.
        const std::string sheetPart = book.sheets[k].part;
        const auto sheetRels = book.part(XlsxPackage::relationshipsOf(sheetPart));
        ASSERT_TRUE(sheetRels) << k;
        const std::string drawing = XlsxPackage::resolve(
            sheetPart, sheetRels->document_element().child("Relationship").attribute("Target").value());
        const auto drawingRels = book.part(XlsxPackage::relationshipsOf(drawing));
        ASSERT_TRUE(drawingRels) << k;
        const std::string chartPart = XlsxPackage::resolve(
            drawing, drawingRels->document_element().child("Relationship").attribute("Target").value());
        const auto chart = book.part(chartPart);
        ASSERT_TRUE(chart) << chartPart;
        const pugi::xml_node plotArea = chart->document_element().child("c:chart").child("c:plotArea");
        const pugi::xml_node plot = plotArea.child(charts[k].plot);
        ASSERT_TRUE(plot) << book.sheets[k].name << " is no " << charts[k].plot;
        const pugi::xml_node title =
            chart->document_element().child("c:chart").child("c:title").child("c:tx").child("c:strRef");
        EXPECT_EQ(std::string(title.child_value("c:f")), charts[k].title);
        // The cached text is this report's title (of 2021/04/05), not the template's.
        EXPECT_EQ(std::string(title.child("c:strCache").child("c:pt").child_value("c:v")), cachedTitles[k]);
        std::vector<std::string> categories;
        std::vector<std::string> values;
        for (pugi::xml_node series : plot.children("c:ser")) {
            categories.push_back(series.child("c:cat").first_child().child_value("c:f"));
            values.push_back(series.child("c:val").first_child().child_value("c:f"));
        }
        EXPECT_EQ(categories, charts[k].categories) << book.sheets[k].name;
        EXPECT_EQ(values, charts[k].values) << book.sheets[k].name;
        // The value axis is titled; the first two charts have a legend.
        EXPECT_TRUE(plotArea.child("c:valAx").child("c:title")) << book.sheets[k].name;
        const bool legend = chart->document_element().child("c:chart").child("c:legend");
        EXPECT_EQ(legend, k < 2) << book.sheets[k].name;
    }

    // The named ranges by name and scope (index of the sheet, empty for the workbook) with their range.
    // An OFFSET name is settled to the range it gives for this report: the day of 2021/04/05 counted in
    // the hour bands 8-9, a 30-day month (I73) and the fiscal year with index 7 (G102, H102), so that
    // spreadsheet programs whose chart series do not follow OFFSET names still draw the charts.
    std::map<std::pair<std::string, std::string>, std::string> names;
    for (pugi::xml_node name : book.workbook->document_element().child("definedNames").children("definedName"))
        names[{name.attribute("name").value(), name.attribute("localSheetId").value()}] = name.child_value();
    const std::map<std::pair<std::string, std::string>, std::string> expected = {
        {{"時間範囲", "7"}, "Sheet2!$A$2:$A$3"},
        {{"月曜日の時間帯別入館者数", "7"}, "Sheet2!$B$2:$B$3"},
        {{"火曜日の時間帯別入館者数", "7"}, "Sheet2!$C$2:$C$3"},
        {{"水曜日の時間帯別入館者数", "7"}, "Sheet2!$D$2:$D$3"},
        {{"木曜日の時間帯別入館者数", "7"}, "Sheet2!$E$2:$E$3"},
        {{"金曜日の時間帯別入館者数", "7"}, "Sheet2!$F$2:$F$3"},
        {{"土曜日の時間帯別入館者数", "7"}, "Sheet2!$G$2:$G$3"},
        {{"日曜日の時間帯別入館者数", "7"}, "Sheet2!$H$2:$H$3"},
        {{"時間帯別入館者数", "7"}, "Sheet2!$A$1:$H$3"},
        {{"月範囲", "6"}, "Sheet1!$N$28:$N$39"},
        {{"月別入館者数", ""}, "Sheet1!$O$28:$O$39"},
        // The chart names it as Sheet1's; some programs look for the name only in that sheet's scope.
        {{"月別入館者数", "6"}, "Sheet1!$O$28:$O$39"},
        {{"日範囲", "6"}, "Sheet1!$E$42:$E$71"},
        {{"日別入館者数", "6"}, "Sheet1!$F$42:$F$71"},
        {{"年範囲", "6"}, "Sheet1!$C$82:$C$82"},
        {{"年度別入館者数", "6"}, "Sheet1!$D$82:$D$82"},
    };
    EXPECT_EQ(names, expected);
}

// The settled ranges follow the period cells and the hour bands counted; a template name that reads
// other cells keeps its OFFSET, since only the cells this report writes are known.
TEST_F(XlsxWorkbookFillerTest, OffsetNamesFollowThePeriodAndTheHourBands)
{
    data.values = {0, 11, 12, 0, 30, 31, 1, 6, 2};
    data.rows = {row(QDate(2020, 4, 1), 0, 0, 1, 0, 0), row(QDate(2021, 3, 31), 0, 23, 1, 0, 0)};
    std::string text = partText(XlsxTemplate::builtIn(), "xl/workbook.xml");
    const std::string foreign = "OFFSET(Sheet1!$D$75,Sheet1!$G$103,0,Sheet1!$H$102,1)";
    const std::size_t at = text.find("OFFSET(Sheet1!$D$75,Sheet1!$G$102,0,Sheet1!$H$102,1)");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, foreign.size(), foreign);
    ASSERT_EQ(fill(withParts(XlsxTemplate::builtIn(), {{"xl/workbook.xml", text}})),
              XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook book(output);
    std::map<std::string, std::string> ranges;
    for (pugi::xml_node name : book.workbook->document_element().child("definedNames").children("definedName"))
        ranges[name.attribute("name").value()] = name.child_value();
    EXPECT_EQ(ranges["時間範囲"], "Sheet2!$A$2:$A$25");
    EXPECT_EQ(ranges["時間帯別入館者数"], "Sheet2!$A$1:$H$25");
    EXPECT_EQ(ranges["日別入館者数"], "Sheet1!$F$42:$F$72");
    EXPECT_EQ(ranges["年範囲"], "Sheet1!$C$81:$C$82");
    EXPECT_EQ(ranges["年度別入館者数"], foreign);
}

struct DamagedCase
{
    const char* name;
    std::function<QByteArray(const QByteArray&)> damage;
    XlsxWorkbookFiller::Outcome expected;
};

class XlsxDamagedTemplateTest : public XlsxWorkbookFillerTest, public ::testing::WithParamInterface<DamagedCase>
{
};

TEST_P(XlsxDamagedTemplateTest, GivesAClearOutcome)
{
    EXPECT_EQ(fill(GetParam().damage(XlsxTemplate::builtIn())), GetParam().expected);
    if (GetParam().expected == XlsxWorkbookFiller::Outcome::Ready) {
        EXPECT_TRUE(XlsxBook(output).sheet("人数カウント"));
    }
}

QByteArray renamedCountSheet(const QByteArray& workbook)
{
    std::string text = partText(workbook, "xl/workbook.xml");
    replaceAll(text, "name=\"人数カウント\"", "name=\"カウント\"");
    return withParts(workbook, {{"xl/workbook.xml", text}});
}

QByteArray extraSheets(const QByteArray& workbook)
{
    // A chart sheet hidden by the user and a worksheet of their own, after the template's sheets.
    std::string text = partText(workbook, "xl/workbook.xml");
    replaceAll(text, "</sheets>",
               "<sheet name=\"メモ\" sheetId=\"9\" r:id=\"rId1\" state=\"hidden\"/><sheet name=\"集計\" sheetId=\"10\" "
               "r:id=\"rId50\"/></sheets>");
    std::string rels = partText(workbook, "xl/_rels/workbook.xml.rels");
    replaceAll(rels, "</Relationships>",
               "<Relationship Id=\"rId50\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
               "relationships/worksheet\" Target=\"worksheets/sheet9.xml\"/></Relationships>");
    std::string types = partText(workbook, "[Content_Types].xml");
    replaceAll(types, "</Types>",
               "<Override PartName=\"/xl/worksheets/sheet9.xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></Types>");
    const std::string sheet =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetData><row r=\"1\"><c r=\"A1\"><f>1+1</f><v>2</v></c></row></sheetData></worksheet>";
    return withParts(workbook, {{"xl/workbook.xml", text},
                                {"xl/_rels/workbook.xml.rels", rels},
                                {"[Content_Types].xml", types},
                                {"xl/worksheets/sheet9.xml", sheet}});
}

INSTANTIATE_TEST_SUITE_P(
    Templates, XlsxDamagedTemplateTest,
    ::testing::Values(DamagedCase{"NotAZip", [](const QByteArray&) { return QByteArray("PK\x03\x04 no zip at all"); },
                                  XlsxWorkbookFiller::Outcome::NotAWorkbook},
                      DamagedCase{"Empty", [](const QByteArray&) { return QByteArray(); },
                                  XlsxWorkbookFiller::Outcome::NotAWorkbook},
                      DamagedCase{"Truncated", [](const QByteArray& w) { return w.left(w.size() / 2); },
                                  XlsxWorkbookFiller::Outcome::NotAWorkbook},
                      DamagedCase{"NoWorkbookPart",
                                  [](const QByteArray& w) {
                                      return withParts(w, {{"xl/workbook.xml", std::nullopt}});
                                  },
                                  XlsxWorkbookFiller::Outcome::NotAWorkbook},
                      DamagedCase{"BrokenWorkbookXml",
                                  [](const QByteArray& w) {
                                      return withParts(w, {{"xl/workbook.xml", std::string("<workbook><sheets>")}});
                                  },
                                  XlsxWorkbookFiller::Outcome::NotAWorkbook},
                      DamagedCase{"NoCountSheetPart",
                                  [](const QByteArray& w) {
                                      return withParts(w, {{"xl/worksheets/sheet1.xml", std::nullopt}});
                                  },
                                  XlsxWorkbookFiller::Outcome::NotAWorkbook},
                      DamagedCase{"CountSheetRenamed", renamedCountSheet, XlsxWorkbookFiller::Outcome::NoCountSheet},
                      DamagedCase{"ExtraSheets", extraSheets, XlsxWorkbookFiller::Outcome::Ready}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

TEST_F(XlsxWorkbookFillerTest, AnotherCountSheetNameIsLookedFor)
{
    data.countSheetName = QStringLiteral("カウント");
    EXPECT_EQ(fill(XlsxTemplate::builtIn()), XlsxWorkbookFiller::Outcome::NoCountSheet);
    EXPECT_EQ(fill(renamedCountSheet(XlsxTemplate::builtIn())), XlsxWorkbookFiller::Outcome::Ready);
}

TEST_F(XlsxWorkbookFillerTest, ExtraSheetsKeepTheirStateAndTheWorkbookAVisibleSheet)
{
    ASSERT_EQ(fill(extraSheets(XlsxTemplate::builtIn())), XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook book(output);
    ASSERT_EQ(book.sheets.size(), 10u);
    EXPECT_EQ(book.sheets[8].state, "hidden");
    EXPECT_EQ(book.sheets[9].state, "");
    const auto own = book.sheet("集計");
    ASSERT_TRUE(own);
    EXPECT_EQ(std::string(XlsxBook::cell(*own, "A1").child_value("f")), "1+1");
    EXPECT_FALSE(XlsxBook::cell(*own, "A1").child("v"));

    // With every chart sheet hidden by the user the workbook opens on a worksheet that is shown.
    std::string text = partText(XlsxTemplate::builtIn(), "xl/workbook.xml");
    for (const std::string& name : kChartSheets)
        replaceAll(text, "name=\"" + name + "\"", "name=\"" + name + "\" state=\"hidden\"");
    ASSERT_EQ(fill(withParts(XlsxTemplate::builtIn(), {{"xl/workbook.xml", text}})),
              XlsxWorkbookFiller::Outcome::Ready);
    XlsxBook hidden(output);
    ASSERT_TRUE(hidden.workbook);
    const int active =
        hidden.workbook->document_element().child("bookViews").child("workbookView").attribute("activeTab").as_int();
    EXPECT_EQ(hidden.sheets[static_cast<std::size_t>(active)].name, "人数カウント");
    EXPECT_EQ(hidden.sheets[static_cast<std::size_t>(active)].state, "");
}

} // namespace
