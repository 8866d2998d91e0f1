#include "TemplateWorkbook.h"

#include <xlsxwriter.h>

#include <array>
#include <cstdio>
#include <string>

namespace TemplateWorkbook {

namespace {

const char* const kCountSheet = "人数カウント";
const char* const kSheet1 = "Sheet1";
const char* const kSheet2 = "Sheet2";
// The count sheet as the work sheets' formulas name it.
const std::string kCount = "'人数カウント'!";

const std::array<const char*, 7> kWeekdays = {"月", "火", "水", "木", "金", "土", "日"};
const std::array<const char*, 7> kWeekdayLong = {"月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日", "日曜日"};

constexpr int kFirstYear = 2014;
constexpr int kLastYear = 2040;
// Row of April 2014 in the month block; one row per month up to March 2041.
constexpr int kFirstMonthRow = 105;
constexpr int kLastMonthRow = 428;

std::string ref(char column, int row)
{
    return std::string(1, column) + std::to_string(row);
}

std::string twoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// Japanese era label of a (fiscal or calendar) year, "平成26" .. "平成31", "令和2" .. .
std::string eraYear(int year)
{
    if (year <= 2019)
        return "平成" + std::to_string(year - 1988);
    return "令和" + std::to_string(year - 2018);
}

// Visitors are the three aisle columns F, G and H of the count sheet.
std::string visitorsByPattern(const std::string& pattern)
{
    std::string sum;
    for (const char aisle : {'F', 'G', 'H'}) {
        if (!sum.empty())
            sum += "+";
        sum += "SUMIF(" + kCount + "$A:$A," + pattern + "," + kCount + "$" + aisle + ":$" + aisle + ")";
    }
    return sum;
}

class Builder
{
public:
    explicit Builder(lxw_workbook* book) : m_book(book) {}

    lxw_error status() const { return m_status; }

    void note(lxw_error result)
    {
        if (m_status == LXW_NO_ERROR)
            m_status = result;
    }

    void text(lxw_worksheet* sheet, const std::string& cell, const std::string& value)
    {
        note(worksheet_write_string(sheet, CELL(cell.c_str()), value.c_str(), nullptr));
    }

    void number(lxw_worksheet* sheet, const std::string& cell, double value)
    {
        note(worksheet_write_number(sheet, CELL(cell.c_str()), value, nullptr));
    }

    void formula(lxw_worksheet* sheet, const std::string& cell, const std::string& value)
    {
        note(worksheet_write_formula(sheet, CELL(cell.c_str()), ("=" + value).c_str(), nullptr));
    }

    void arrayFormula(lxw_worksheet* sheet, const std::string& cell, const std::string& value, lxw_format* format)
    {
        note(worksheet_write_array_formula(sheet, CELL(cell.c_str()), CELL(cell.c_str()), ("{=" + value + "}").c_str(),
                                           format));
    }

    void name(const std::string& scopedName, const std::string& value)
    {
        note(workbook_define_name(m_book, scopedName.c_str(), ("=" + value).c_str()));
    }

private:
    lxw_workbook* m_book;
    lxw_error m_status = LXW_NO_ERROR;
};

void countSheet(Builder& b, lxw_workbook* book, lxw_worksheet* sheet)
{
    // The dates are pasted as text so that the work sheets' wildcard patterns match them.
    lxw_format* asText = workbook_add_format(book);
    format_set_num_format(asText, "@");
    b.note(worksheet_set_column(sheet, 0, 0, 11, asText));
    b.note(worksheet_set_column(sheet, 4, 4, 16, nullptr));
    b.note(worksheet_set_column(sheet, 9, 9, 12, nullptr));
    b.note(worksheet_set_column(sheet, 11, 11, 12, nullptr));
    b.text(sheet, "J1", "出力区分");
    b.text(sheet, "J2", "出力範囲");
    b.text(sheet, "J4", "データカウント");
    b.formula(sheet, "K4", "COUNTA($A:$A)");
    b.formula(sheet, "L4", "\"A1:A\"&K4");
    lxw_format* asDate = workbook_add_format(book);
    format_set_num_format(asDate, "yyyy/mm/dd");
    b.text(sheet, "J5", "最小日付");
    b.arrayFormula(sheet, "K5", "MIN(DATEVALUE(INDIRECT($L$4)))", asDate);
    b.text(sheet, "J6", "最大日付");
    b.arrayFormula(sheet, "K6", "MAX(DATEVALUE(INDIRECT($L$4)))", asDate);
    b.note(worksheet_set_column(sheet, 10, 10, 12, nullptr));
}

void bandBlock(Builder& b, lxw_worksheet* s)
{
    for (int d = 0; d < 7; ++d)
        b.text(s, ref(static_cast<char>('F' + d), 1), kWeekdays[d]);
    b.formula(s, "A2", "MIN(" + kCount + "$B:$B)");
    b.formula(s, "B2", "MAX(" + kCount + "$B:$B)");
    for (int r = 2; r <= 25; ++r) {
        const std::string row = std::to_string(r);
        b.number(s, ref('C', r), r - 2);
        const std::string inUse = "$A$2+$C" + row + "<=$B$2";
        b.formula(s, ref('D', r), "IF(" + inUse + ",VALUE($A$2+$C" + row + ")&\"時台\",\" \")");
        b.formula(s, ref('E', r), "IF(" + inUse + ",$A$2+$C" + row + ",0)");
        for (int d = 0; d < 7; ++d) {
            const char column = static_cast<char>('F' + d);
            std::string sum;
            for (const char aisle : {'F', 'G', 'H'}) {
                if (!sum.empty())
                    sum += "+";
                sum += std::string("SUMIFS(") + kCount + "$" + aisle + ":$" + aisle + "," + kCount + "$B:$B,$E" + row +
                       "," + kCount + "$C:$C," + column + "$1)";
            }
            // A band outside the bands in use carries 0 in column E; it must not count band 0 again.
            b.formula(s, ref(column, r), "IF($D" + row + "=\" \",0," + sum + ")");
        }
    }
    b.text(s, "C26", "ALL");
    b.text(s, "D26", "全日");
    for (int d = 0; d < 7; ++d) {
        const char column = static_cast<char>('F' + d);
        b.formula(s, ref(column, 26), "SUM(" + ref(column, 2) + ":" + ref(column, 25) + ")");
    }
}

void monthBlocks(Builder& b, lxw_worksheet* s)
{
    for (int k = 0; k < 12; ++k) {
        const int r = 28 + k;
        const int month = (k + 3) % 12 + 1;
        b.text(s, ref('C', r), "*/" + twoDigits(month) + "/*");
        b.text(s, ref('E', r), std::to_string(month) + "月");
        b.formula(s, ref('F', r), visitorsByPattern("$C" + std::to_string(r)));
        // Calendar order: January is the fiscal block's tenth row.
        b.formula(s, ref('L', r), ref('C', 28 + (k + 9) % 12));
        b.text(s, ref('N', r), std::to_string(k + 1) + "月");
        b.formula(s, ref('O', r), "INDEX($E$28:$F$39,MATCH(N" + std::to_string(r) + ",$E$28:$E$39,0),2)");
    }
    b.text(s, "C40", "ALL");
    b.text(s, "D40", "全年");
    b.formula(s, "F40", "SUM(F28:F39)");
    b.text(s, "G39", "開始月");
    b.text(s, "H39", "終了月");
    b.text(s, "I39", "月数");
    b.number(s, "G40", 0);
    b.number(s, "H40", 11);
    b.number(s, "I40", 12);
    b.formula(s, "J40", "OFFSET($E$28,G40,0)");
    b.formula(s, "K40", "IF(I40<=1,\"\",OFFSET($E$28,H40,0))");
    b.text(s, "L40", "ALL");
    b.text(s, "M40", "全年");
    b.formula(s, "O40", "SUM(O28:O39)");
    b.text(s, "P39", "開始月");
    b.text(s, "Q39", "終了月");
    b.text(s, "R39", "月数");
    b.formula(s, "P40", "IF(G40>=9,G40-9,G40+3)");
    b.formula(s, "Q40", "IF(H40>=9,H40-9,H40+3)");
    b.formula(s, "R40", "I40");
    b.formula(s, "S40", "OFFSET($N$28,P40,0)");
    b.formula(s, "T40", "IF(R40<=1,\"\",OFFSET($N$28,Q40,0))");
}

void dayBlock(Builder& b, lxw_worksheet* s)
{
    for (int day = 1; day <= 31; ++day) {
        const int r = 41 + day;
        b.text(s, ref('C', r), "*/*/" + twoDigits(day));
        b.text(s, ref('E', r), std::to_string(day) + "日");
        b.formula(s, ref('F', r), visitorsByPattern("$C" + std::to_string(r)));
    }
    b.text(s, "C73", "ALL");
    b.text(s, "D73", "全月");
    b.formula(s, "F73", "SUM(F42:F72)");
    b.text(s, "G72", "開始日");
    b.text(s, "H72", "終了日");
    b.text(s, "I72", "日数");
    b.text(s, "J72", "全月");
    b.number(s, "G73", 0);
    b.number(s, "H73", 30);
    b.number(s, "I73", 31);
    b.number(s, "J73", 1);
    b.formula(s, "K73", "IF(J73=1,\"\",OFFSET($E$42,G73,0))");
    b.formula(s, "L73", "IF(OR(I73<=1,J73=1),\"\",OFFSET($E$42,H73,0))");
}

void yearBlocks(Builder& b, lxw_worksheet* s)
{
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        const int k = year - kFirstYear;
        const int r = 75 + k;
        b.text(s, ref('C', r), eraYear(year) + "年度");
        const int april = kFirstMonthRow + 12 * k;
        b.formula(s, ref('D', r), "SUM(F" + std::to_string(april) + ":F" + std::to_string(april + 11) + ")");
        b.number(s, ref('F', r), year);
        b.text(s, ref('L', r), eraYear(year) + "年");
        // The month rows begin with April 2014, so that calendar year has nine months.
        const int january = k == 0 ? kFirstMonthRow : kFirstMonthRow + 9 + 12 * (k - 1);
        const int december = k == 0 ? kFirstMonthRow + 8 : january + 11;
        b.formula(s, ref('M', r), "SUM(F" + std::to_string(january) + ":F" + std::to_string(december) + ")");
    }
    b.text(s, "K100", "年換算");
    b.text(s, "G101", "開始年度");
    b.text(s, "H101", "年数");
    b.text(s, "N101", "開始年");
    b.text(s, "O101", "年数");
    b.text(s, "C102", "全年");
    b.formula(s, "D102", "SUM(D75:D101)");
    b.number(s, "G102", 0);
    b.number(s, "H102", 1);
    b.formula(s, "I102", "OFFSET($C$75,G102,0)");
    b.formula(s, "J102", "IF(H102<=1,\"\",OFFSET($C$75,G102+H102-1,0))");
    b.text(s, "L102", "全年");
    b.formula(s, "M102", "SUM(M75:M101)");
    b.formula(s, "O102", "N104-N103+1");
    b.formula(s, "P102", "O103");
    b.formula(s, "Q102", "IF(O102<=1,\"\",O104)");
    b.text(s, "L103", "開始日");
    b.formula(s, "M103", kCount + "$K$5");
    b.formula(s, "N103", "YEAR(M103)");
    b.formula(s, "O103", "TEXT(M103,\"[$-411]ggge年\")");
    b.text(s, "L104", "終了日");
    b.formula(s, "M104", kCount + "$K$6");
    b.formula(s, "N104", "YEAR(M104)");
    b.formula(s, "O104", "TEXT(M104,\"[$-411]ggge年\")");
    for (int r = kFirstMonthRow; r <= kLastMonthRow; ++r) {
        const int months = r - kFirstMonthRow + 3;
        const int year = kFirstYear + months / 12;
        const int month = months % 12 + 1;
        b.text(s, ref('C', r), std::to_string(year) + "/" + twoDigits(month) + "/*");
        b.formula(s, ref('F', r), visitorsByPattern("$C" + std::to_string(r)));
    }
}

void sheet2(Builder& b, lxw_worksheet* s)
{
    const std::string s1 = std::string(kSheet1) + "!";
    for (int d = 0; d < 7; ++d) {
        const char column = static_cast<char>('B' + d);
        b.text(s, ref(column, 1), kWeekdays[d]);
        b.text(s, ref(column, 33), kWeekdays[d]);
        b.formula(s, ref(column, 34), s1 + ref(static_cast<char>('F' + d), 26));
    }
    for (int r = 2; r <= 25; ++r) {
        const std::string label = s1 + ref('D', r);
        b.formula(s, ref('A', r), "IF(" + label + "=\" \",\" \"," + label + ")");
        for (int d = 0; d < 7; ++d) {
            const std::string left = ref(static_cast<char>('A' + d), r);
            b.formula(s, ref(static_cast<char>('B' + d), r),
                      "IF(" + left + "=\" \",\" \"," + s1 + ref(static_cast<char>('F' + d), r) + ")");
        }
    }
    b.formula(s, "A34", s1 + "D26");
    b.formula(s, "A36", "24-COUNTIF(B1:B25,\" \")+1");
    b.text(s, "H36", "年度表記");
    b.text(s, "I36", "年表記");
    b.text(s, "F37", "時間帯別入館者数");
    b.text(s, "F38", "曜日別入館者数");
    b.text(s, "F39", "日別入館者数");
    b.formula(s, "F40", "IF(" + s1 + "K40=\"\",\"入館者数\",\"月別入館者数\")");
    b.formula(s, "F41", "IF(" + s1 + "J102=\"\",\"入館者数\",\"年度別入館者数\")");

    // The prefixes in fiscal-year wording (column H) and calendar-year wording (column I).
    const std::array<std::pair<char, std::pair<std::string, std::string>>, 2> wordings = {{
        {'H', {s1 + "I102", s1 + "J102"}},
        {'I', {s1 + "P102", s1 + "Q102"}},
    }};
    const std::string firstMonth = s1 + "J40";
    const std::string lastMonth = s1 + "K40";
    const std::string firstDay = s1 + "K73";
    const std::string lastDay = s1 + "L73";
    for (const auto& [column, labels] : wordings) {
        const auto& [first, last] = labels;
        b.formula(s, ref(column, 37),
                  "IF(" + lastMonth + "=\"\"," + first + "&" + firstMonth + "&\"の\"," + first + "&" + firstMonth +
                      "&\"から\"&" + last + "&" + lastMonth + "&\"までの\")");
        b.formula(s, ref(column, 38),
                  "IF(" + last + "=\"\"," + first + "&\"の\"," + first + "&\"から\"&" + last + "&\"までの\")");
        b.formula(s, ref(column, 39),
                  "IF(OR(" + lastDay + "=\"\",AND(" + last + "=\"\"," + lastMonth + "=\"\"," + firstDay + "=" +
                      lastDay + "))," + first + "&" + firstMonth + "&" + firstDay + "&\"の\"," + first + "&" +
                      firstMonth + "&" + firstDay + "&\"から\"&" + last + "&" + lastMonth + "&" + lastDay +
                      "&\"までの\")");
    }
    const std::string wholeYear = "AND(" + s1 + "P40=0," + s1 + "I40=12)";
    const std::string monthPrefix = "IF(" + wholeYear + ",I38,I37)";
    for (const int r : {37, 38, 39})
        b.formula(s, ref('A', r), "IF(" + s1 + "J73=1," + monthPrefix + ",I39)&F" + std::to_string(r));
    b.formula(s, "A40", monthPrefix + "&F40");
    b.formula(s, "A41", "H38&F41");
    const std::string fromApril = s1 + "C37=\"*/04/*\"";
    b.formula(s, "A28", "IF(AND(" + s1 + "G40=0," + s1 + "I40=12," + fromApril + "),1,0)");
    b.formula(s, "A29", "IF(" + fromApril + ",1,0)");
    b.formula(s, "A30", "IF(A28=1,H38,H37)&F37");
}

void names(Builder& b)
{
    b.name("Sheet2!時間範囲", "OFFSET(Sheet2!$A$2,0,0,Sheet2!$A$36-1,1)");
    for (int d = 0; d < 7; ++d)
        b.name(std::string("Sheet2!") + kWeekdayLong[d] + "の時間帯別入館者数",
               "OFFSET(Sheet2!$" + std::string(1, static_cast<char>('B' + d)) + "$2,0,0,Sheet2!$A$36-1,1)");
    b.name("Sheet2!時間帯別入館者数", "OFFSET(Sheet2!$A$1,0,0,Sheet2!$A$36,8)");
    b.name("Sheet1!月範囲", "Sheet1!$N$28:$N$39");
    b.name("月別入館者数", "Sheet1!$O$28:$O$39");
    // The chart sheet names the range as Sheet1's; some spreadsheet programs resolve such a reference
    // only to a name of that sheet, so Sheet1 holds the same range under the same name.
    b.name("Sheet1!月別入館者数", "Sheet1!$O$28:$O$39");
    b.name("Sheet1!日範囲", "OFFSET(Sheet1!$E$42,0,0,Sheet1!$I$73,1)");
    b.name("Sheet1!日別入館者数", "OFFSET(Sheet1!$F$42,0,0,Sheet1!$I$73,1)");
    b.name("Sheet1!年範囲", "OFFSET(Sheet1!$C$75,Sheet1!$G$102,0,Sheet1!$H$102,1)");
    b.name("Sheet1!年度別入館者数", "OFFSET(Sheet1!$D$75,Sheet1!$G$102,0,Sheet1!$H$102,1)");
}

lxw_chart* newChart(lxw_workbook* book, uint8_t type, const char* titleCell, const char* axisTitle, bool legend)
{
    lxw_chart* chart = workbook_add_chart(book, type);
    chart_title_set_name(chart, titleCell);
    chart_axis_set_name(chart->y_axis, axisTitle);
    if (!legend)
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    return chart;
}

// Chart references as written (cells) and as the report needs them (named ranges).
struct ChartReference
{
    std::string cells;
    std::string name;
};

ChartReference bandCategories()
{
    return {"Sheet2!$A$2:$A$25", "Sheet2!時間範囲"};
}

ChartReference bandValues(int d)
{
    const std::string column(1, static_cast<char>('B' + d));
    return {"Sheet2!$" + column + "$2:$" + column + "$25",
            std::string("Sheet2!") + kWeekdayLong[d] + "の時間帯別入館者数"};
}

const std::array<std::pair<ChartReference, ChartReference>, 3> kColumnCharts = {{
    {{"Sheet1!$E$42:$E$72", "Sheet1!日範囲"}, {"Sheet1!$F$42:$F$72", "Sheet1!日別入館者数"}},
    {{"Sheet1!$N$28:$N$39", "Sheet1!月範囲"}, {"Sheet1!$O$28:$O$39", "Sheet1!月別入館者数"}},
    {{"Sheet1!$C$75:$C$101", "Sheet1!年範囲"}, {"Sheet1!$D$75:$D$101", "Sheet1!年度別入館者数"}},
}};

lxw_chart_series* addSeries(lxw_chart* chart, const ChartReference& categories, const ChartReference& values)
{
    return chart_add_series(chart, ("=" + categories.cells).c_str(), ("=" + values.cells).c_str());
}

void charts(Builder& b, lxw_workbook* book, const std::array<lxw_chartsheet*, 5>& sheets)
{
    const char* const axis = "入館者数(人)";

    lxw_chart* band = newChart(book, LXW_CHART_LINE, "=Sheet2!$A$37", axis, true);
    for (int d = 0; d < 7; ++d) {
        lxw_chart_series* series = addSeries(band, bandCategories(), bandValues(d));
        chart_series_set_name(series, ("=Sheet2!$" + std::string(1, static_cast<char>('B' + d)) + "$1").c_str());
        chart_series_set_marker_type(series, LXW_CHART_MARKER_AUTOMATIC);
    }

    lxw_chart* weekday = newChart(book, LXW_CHART_COLUMN, "=Sheet2!$A$38", "入館者数（人）", true);
    chart_series_set_name(chart_add_series(weekday, "=Sheet2!$B$33:$H$33", "=Sheet2!$B$34:$H$34"), "=Sheet2!$A$34");

    std::array<lxw_chart*, 5> all = {band, weekday, nullptr, nullptr, nullptr};
    const std::array<const char*, 3> titles = {"=Sheet2!$A$39", "=Sheet2!$A$40", "=Sheet2!$A$41"};
    for (std::size_t k = 0; k < kColumnCharts.size(); ++k) {
        all[k + 2] = newChart(book, LXW_CHART_COLUMN, titles[k], axis, false);
        addSeries(all[k + 2], kColumnCharts[k].first, kColumnCharts[k].second);
    }
    for (std::size_t k = 0; k < all.size(); ++k)
        b.note(chartsheet_set_chart(sheets[k], all[k]));
}

} // namespace

std::vector<std::pair<std::string, std::string>> namedChartReferences()
{
    std::vector<std::pair<std::string, std::string>> pairs;
    pairs.emplace_back(bandCategories().cells, bandCategories().name);
    for (int d = 0; d < 7; ++d)
        pairs.emplace_back(bandValues(d).cells, bandValues(d).name);
    for (const auto& [categories, values] : kColumnCharts) {
        pairs.emplace_back(categories.cells, categories.name);
        pairs.emplace_back(values.cells, values.name);
    }
    return pairs;
}

bool write(const std::string& path, std::string& error)
{
    lxw_workbook* book = workbook_new(path.c_str());
    if (!book) {
        error = "cannot create " + path;
        return false;
    }
    Builder b(book);
    // Sheet order of the template: the five charts first, the report opens on the first one.
    const std::array<lxw_chartsheet*, 5> chartSheets = {
        workbook_add_chartsheet(book, "時間帯別"), workbook_add_chartsheet(book, "曜日別"),
        workbook_add_chartsheet(book, "日別"), workbook_add_chartsheet(book, "月別"),
        workbook_add_chartsheet(book, "年度別")};
    lxw_worksheet* count = workbook_add_worksheet(book, kCountSheet);
    lxw_worksheet* work1 = workbook_add_worksheet(book, kSheet1);
    lxw_worksheet* work2 = workbook_add_worksheet(book, kSheet2);
    for (lxw_chartsheet* sheet : chartSheets)
        if (!sheet)
            b.note(LXW_ERROR_PARAMETER_VALIDATION);
    if (!count || !work1 || !work2)
        b.note(LXW_ERROR_PARAMETER_VALIDATION);
    if (b.status() == LXW_NO_ERROR) {
        countSheet(b, book, count);
        bandBlock(b, work1);
        monthBlocks(b, work1);
        dayBlock(b, work1);
        yearBlocks(b, work1);
        sheet2(b, work2);
        names(b);
        charts(b, book, chartSheets);
        chartsheet_activate(chartSheets[0]);
        worksheet_hide(count);
        worksheet_hide(work1);
        worksheet_hide(work2);
    }
    const lxw_error closed = workbook_close(book);
    if (b.status() != LXW_NO_ERROR || closed != LXW_NO_ERROR) {
        error = std::string("workbook library: ") + lxw_strerror(b.status() != LXW_NO_ERROR ? b.status() : closed);
        return false;
    }
    return true;
}

} // namespace TemplateWorkbook
