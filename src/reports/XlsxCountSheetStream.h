#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

struct XlsxFillData;

// The count sheet's XML, produced piece by piece while the workbook is compressed: the template's
// part around its rows, the count rows A:H merged with the template's own cells to the right of them.
class XlsxCountSheetStream final
{
public:
    // A row of the template as written: its opening tag and its cells.
    struct TemplateRow
    {
        int number = 0;
        std::string open;
        std::string cells;
    };

    // head and tail: the part before and after the rows of sheetData; textStyle the style index of
    // column A (-1 for none).
    XlsxCountSheetStream(const XlsxFillData& data, std::string head, std::string tail,
                         std::vector<TemplateRow> templateRows, int textStyle);

    void rewind();
    // Appends the next piece to out; false when everything was given.
    bool next(std::string& out);
    std::size_t countRowsWritten() const { return m_nextData; }

private:
    void appendDataRow(std::string& out, std::size_t index, const TemplateRow* merged);

    const XlsxFillData& m_data;
    std::string m_head;
    std::string m_tail;
    std::vector<TemplateRow> m_templateRows;
    std::string m_textStyle;
    std::array<std::string, 15> m_gateCells;
    std::array<std::string, 8> m_weekdayCells;
    enum class Stage
    {
        Head,
        Rows,
        Tail,
        Done,
    } m_stage = Stage::Head;
    std::size_t m_nextData = 0;
    std::size_t m_nextTemplate = 0;
};
