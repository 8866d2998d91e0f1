#include "reports/XlsxCountSheetStream.h"

#include "reports/ReportCalendar.h"
#include "reports/XlsxFillData.h"
#include "reports/XlsxXml.h"

#include <QDate>

#include <charconv>

namespace {

// Large enough for the compressor to work in long runs, small enough to keep memory flat.
constexpr std::size_t kPieceSize = 256 * 1024;

void appendInt(std::string& out, long long value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void appendTwoDigits(std::string& out, int value)
{
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

// ,"column N" cell of an inline text whose row reference is appended by the caller.
std::string textCellTail(const std::string& escapedText)
{
    if (escapedText.empty())
        return std::string();
    const char* const space = XlsxXml::hasOuterBlanks(escapedText) ? " xml:space=\"preserve\"" : "";
    return std::string("\" t=\"inlineStr\"><is><t") + space + ">" + escapedText + "</t></is></c>";
}

} // namespace

XlsxCountSheetStream::XlsxCountSheetStream(const XlsxFillData& data, std::string head, std::string tail,
                                           std::vector<TemplateRow> templateRows, int textStyle)
    : m_data(data), m_head(std::move(head)), m_tail(std::move(tail)), m_templateRows(std::move(templateRows))
{
    if (textStyle >= 0)
        m_textStyle = "\" s=\"" + std::to_string(textStyle);
    for (std::size_t gate = 0; gate < m_gateCells.size(); ++gate) {
        // Columns D and E together; a text left empty in the settings leaves its cell empty.
        const std::string address = textCellTail(XlsxXml::escaped(data.gateAddresses[gate]));
        const std::string name = textCellTail(XlsxXml::escaped(data.gateNames[gate]));
        m_gateCells[gate] = (address.empty() ? std::string()
                                             : "\x01"
                                               "D" +
                                                   address) +
                            (name.empty() ? std::string()
                                          : "\x01"
                                            "E" +
                                                name);
    }
    for (int weekday = 1; weekday <= 7; ++weekday)
        m_weekdayCells[static_cast<std::size_t>(weekday)] =
            textCellTail(XlsxXml::escaped(ReportCalendar::dayOfWeekName(weekday)));
}

void XlsxCountSheetStream::rewind()
{
    m_stage = Stage::Head;
    m_nextData = 0;
    m_nextTemplate = 0;
}

void XlsxCountSheetStream::appendDataRow(std::string& out, std::size_t index, const TemplateRow* merged)
{
    const XlsxCountRow& row = m_data.rows[index];
    std::string number;
    appendInt(number, static_cast<long long>(index) + 1);
    if (merged)
        out += merged->open;
    else
        out += "<row r=\"" + number + "\">";

    const QDate date = QDate::fromJulianDay(row.julianDay);
    out += "<c r=\"A" + number + m_textStyle + "\" t=\"inlineStr\"><is><t>";
    appendInt(out, date.year());
    out += '/';
    appendTwoDigits(out, date.month());
    out += '/';
    appendTwoDigits(out, date.day());
    out += "</t></is></c><c r=\"B" + number + "\"><v>";
    appendInt(out, row.band);
    out += "</v></c><c r=\"C" + number;
    out += m_weekdayCells[static_cast<std::size_t>(date.dayOfWeek())];
    // The gate cells carry \x01 where "<c r=\"" and the column letter go, so the row number can follow.
    const std::string& gateCells = m_gateCells[row.gate];
    std::size_t start = 0;
    while (start < gateCells.size()) {
        std::size_t end = gateCells.find('\x01', start + 1);
        if (end == std::string::npos)
            end = gateCells.size();
        out += "<c r=\"";
        out += gateCells[start + 1];
        out += number;
        out.append(gateCells, start + 2, end - start - 2);
        start = end;
    }
    for (int aisle = 0; aisle < 3; ++aisle) {
        out += "<c r=\"";
        out += static_cast<char>('F' + aisle);
        out += number + "\"><v>";
        appendInt(out, row.aisles[aisle]);
        out += "</v></c>";
    }
    if (merged)
        out += merged->cells;
    out += "</row>";
}

bool XlsxCountSheetStream::next(std::string& out)
{
    switch (m_stage) {
    case Stage::Head:
        out += m_head;
        m_stage = Stage::Rows;
        return true;
    case Stage::Rows: {
        const std::size_t limit = out.size() + kPieceSize;
        while (out.size() < limit) {
            const TemplateRow* templateRow =
                m_nextTemplate < m_templateRows.size() ? &m_templateRows[m_nextTemplate] : nullptr;
            const bool dataLeft = m_nextData < m_data.rows.size();
            if (!dataLeft && !templateRow) {
                m_stage = Stage::Tail;
                break;
            }
            const auto dataNumber = static_cast<long long>(m_nextData) + 1;
            if (templateRow && (!dataLeft || templateRow->number < dataNumber)) {
                out += templateRow->open + templateRow->cells + "</row>";
                ++m_nextTemplate;
                continue;
            }
            const bool merge = templateRow && templateRow->number == dataNumber;
            appendDataRow(out, m_nextData, merge ? templateRow : nullptr);
            ++m_nextData;
            if (merge)
                ++m_nextTemplate;
        }
        return true;
    }
    case Stage::Tail:
        out += m_tail;
        m_stage = Stage::Done;
        return true;
    case Stage::Done:
        break;
    }
    return false;
}
