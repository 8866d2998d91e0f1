#pragma once

#include "reports/XlsxCountSheetStream.h"
#include "reports/XlsxPackage.h"

#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QIODevice;
struct XlsxFillData;

// Fills a copy of the report template: the count rows and the period cells, the sheets' visibility,
// the active sheet, a full calculation when the workbook is first opened, and the names whose OFFSET
// reads the period cells settled to their range, and the charts' linked titles with this report's
// text. The template's other parts pass through unchanged.
class XlsxWorkbookFiller final
{
public:
    enum class Outcome
    {
        Ready,
        // The template is no workbook (not a zip, or without its workbook part).
        NotAWorkbook,
        // No worksheet bears the count sheet name.
        NoCountSheet,
        // More count rows than a worksheet holds.
        TooManyRows,
    };

    explicit XlsxWorkbookFiller(const XlsxFillData& data);
    ~XlsxWorkbookFiller();
    XlsxWorkbookFiller(const XlsxWorkbookFiller&) = delete;
    XlsxWorkbookFiller& operator=(const XlsxWorkbookFiller&) = delete;

    // Reads the template and prepares every edited part; nothing is written yet. The bytes must
    // outlive the filler.
    Outcome prepare(const QByteArray& templateBytes);

    // Writes the whole workbook to out; progress gets the count rows written so far.
    bool write(QIODevice& out, const std::function<void(std::size_t rows)>& progress);

    // Why prepare or write failed, for the log.
    const QString& error() const { return m_error; }

private:
    struct Sheet;
    bool prepareWorkbook();
    bool prepareSheets();
    bool prepareCountSheet(const Sheet& sheet, bool active);
    bool prepareChartTitles();
    bool editPart(const std::string& part, const std::function<void(pugi::xml_node)>& edit);
    void applyVisibility();
    void settleOffsetNames();
    int activeSheet() const;
    void dropCalcChain();

    const XlsxFillData& m_data;
    XlsxPackage m_package;
    std::string m_workbookPart;
    std::unique_ptr<pugi::xml_document> m_workbook;
    std::unique_ptr<pugi::xml_document> m_workbookRels;
    std::vector<Sheet> m_sheets;
    int m_countSheet = -1;
    int m_sheet1 = -1;
    int m_sheet2 = -1;
    // Edited parts by name, and parts the output leaves out.
    std::map<std::string, std::string> m_replaced;
    std::set<std::string> m_dropped;
    std::unique_ptr<XlsxCountSheetStream> m_countStream;
    std::string m_countSheetPart;
    QString m_error;
};
