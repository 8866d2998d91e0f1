#include "reports/XlsxWorkbookFiller.h"

#include "reports/XlsxChartTitles.h"
#include "reports/XlsxFillData.h"
#include "reports/XlsxXml.h"

#include <QIODevice>
#include <QRegularExpression>

#include <zip.h>

#include <algorithm>
#include <array>
#include <list>
#include <map>
#include <optional>
#include <sstream>
#include <string_view>

namespace {

// The rows a worksheet holds.
constexpr std::size_t kMaxRows = 1048576;
// A marker in place of the count sheet's rows while its frame is printed.
constexpr std::string_view kRowsMarker = "<!--wardale-count-rows-->";
// The count rows make up most of the file; a quick level keeps the report fast at little size cost.
constexpr zip_uint32_t kCountSheetLevel = 1;

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::unique_ptr<pugi::xml_document> parsed(const std::optional<std::string>& content)
{
    if (!content)
        return nullptr;
    auto doc = std::make_unique<pugi::xml_document>();
    if (!doc->load_buffer(content->data(), content->size(), pugi::parse_default | pugi::parse_declaration))
        return nullptr;
    return doc;
}

std::string printed(const pugi::xml_node& node)
{
    std::ostringstream out;
    node.print(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

std::string printedDocument(const pugi::xml_document& doc)
{
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

// The relationship attribute of a sheet element ("r:id" with whatever prefix the file uses).
const char* relationshipId(pugi::xml_node sheet)
{
    for (pugi::xml_attribute attribute : sheet.attributes())
        if (endsWith(attribute.name(), ":id"))
            return attribute.value();
    return "";
}

// Only the active sheet's tab is selected, or the workbook opens with a group of sheets.
void selectTab(pugi::xml_node sheetRoot, bool active)
{
    for (pugi::xml_node view : sheetRoot.child("sheetViews").children("sheetView")) {
        view.remove_attribute("tabSelected");
        if (active)
            view.append_attribute("tabSelected") = 1;
    }
}

// Style index of column A, so that the dates stay formatted as text.
int columnAStyle(pugi::xml_node worksheet)
{
    for (pugi::xml_node col : worksheet.child("cols").children("col"))
        if (col.attribute("min").as_int() <= 1 && col.attribute("max").as_int() >= 1)
            return col.attribute("style") ? col.attribute("style").as_int() : -1;
    return -1;
}

struct CountSheetSource
{
    XlsxCountSheetStream* stream;
    std::string piece;
    std::size_t offset = 0;
    std::time_t written;
    zip_error_t error;
    std::function<void(std::size_t)> progress;
};

zip_int64_t countSheetSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* source = static_cast<CountSheetSource*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        source->stream->rewind();
        source->piece.clear();
        source->offset = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        if (source->offset == source->piece.size()) {
            source->piece.clear();
            source->offset = 0;
            while (source->piece.empty() && source->stream->next(source->piece)) {
            }
            if (source->progress)
                source->progress(source->stream->countRowsWritten());
        }
        const std::size_t n = std::min<std::size_t>(length, source->piece.size() - source->offset);
        std::copy_n(source->piece.data() + source->offset, n, static_cast<char*>(data));
        source->offset += n;
        return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->mtime = source->written;
        stat->valid |= ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&source->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// "Sheet!$C$7" (the sheet possibly quoted) -> sheet as written, column, row.
struct CellReference
{
    QString sheet;
    int column = 0;
    int row = 0;
};

std::optional<CellReference> cellReference(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^('[^']+'|[^'!]+)!\\$([A-Z]{1,3})\\$([0-9]{1,7})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return CellReference{match.captured(1), XlsxXml::columnOf(match.captured(2).toStdString()),
                         match.captured(3).toInt()};
}

// The fixed range a name "OFFSET(base,rows,columns,height,width)" stands for once the cells its
// arguments read are known; arguments are numbers, known cells, or a known cell minus a number.
std::optional<QString> offsetRange(const QString& formula, const std::map<QString, int>& known)
{
    static const QRegularExpression call(QStringLiteral("^OFFSET\\((.*)\\)$"));
    const QRegularExpressionMatch match = call.match(formula.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QStringList parts = match.captured(1).split(QLatin1Char(','));
    if (parts.size() != 5)
        return std::nullopt;
    const auto base = cellReference(parts[0]);
    if (!base)
        return std::nullopt;
    static const QRegularExpression term(QStringLiteral("^(.+?)(?:-([0-9]{1,9}))?$"));
    // Arguments beyond a sheet's size give no range; the bound keeps the sums below from overflowing.
    constexpr long long kBound = static_cast<long long>(kMaxRows);
    std::array<long long, 4> numbers{};
    for (int k = 0; k < 4; ++k) {
        const QString part = parts[k + 1].trimmed();
        bool isNumber = false;
        numbers[static_cast<std::size_t>(k)] = part.toLongLong(&isNumber);
        if (isNumber) {
            if (numbers[static_cast<std::size_t>(k)] < -kBound || numbers[static_cast<std::size_t>(k)] > kBound)
                return std::nullopt;
            continue;
        }
        const QRegularExpressionMatch terms = term.match(part);
        const auto cell = cellReference(terms.captured(1));
        if (!cell)
            return std::nullopt;
        QString sheet = cell->sheet;
        if (sheet.startsWith(QLatin1Char('\'')))
            sheet = sheet.mid(1, sheet.size() - 2);
        const auto value =
            known.find(sheet + QLatin1Char('!') + QString::fromStdString(XlsxXml::columnName(cell->column)) +
                       QString::number(cell->row));
        if (value == known.end())
            return std::nullopt;
        numbers[static_cast<std::size_t>(k)] = value->second - terms.captured(2).toLongLong();
    }
    const long long firstRow = base->row + numbers[0];
    const long long firstColumn = base->column + numbers[1];
    const long long lastRow = firstRow + numbers[2] - 1;
    const long long lastColumn = firstColumn + numbers[3] - 1;
    if (firstRow < 1 || firstColumn < 1 || lastRow < firstRow || lastColumn < firstColumn ||
        lastRow > static_cast<long long>(kMaxRows) || lastColumn > 16384)
        return std::nullopt;
    const auto corner = [](long long column, long long row) {
        return QStringLiteral("$%1$%2")
            .arg(QString::fromStdString(XlsxXml::columnName(static_cast<int>(column))))
            .arg(row);
    };
    return base->sheet + QLatin1Char('!') + corner(firstColumn, firstRow) + QLatin1Char(':') +
           corner(lastColumn, lastRow);
}

} // namespace

struct XlsxWorkbookFiller::Sheet
{
    pugi::xml_node element;
    QString name;
    std::string part;
    bool worksheet = false;
    bool chartsheet = false;

    bool visible() const
    {
        const std::string_view state = element.attribute("state").value();
        return state.empty() || state == "visible";
    }
    void setVisible(bool visible) const
    {
        pugi::xml_node node = element;
        node.remove_attribute("state");
        if (!visible)
            node.append_attribute("state") = "hidden";
    }
};

XlsxWorkbookFiller::XlsxWorkbookFiller(const XlsxFillData& data) : m_data(data) {}

XlsxWorkbookFiller::~XlsxWorkbookFiller() = default;

XlsxWorkbookFiller::Outcome XlsxWorkbookFiller::prepare(const QByteArray& templateBytes)
{
    if (!m_package.open(templateBytes, &m_error) || !prepareWorkbook())
        return Outcome::NotAWorkbook;
    const auto find = [this](const QString& name) {
        for (std::size_t k = 0; k < m_sheets.size(); ++k)
            if (m_sheets[k].worksheet && m_sheets[k].name.compare(name, Qt::CaseInsensitive) == 0)
                return static_cast<int>(k);
        return -1;
    };
    m_countSheet = find(m_data.countSheetName);
    if (m_countSheet < 0) {
        m_error = QStringLiteral("the template has no worksheet \"%1\"").arg(m_data.countSheetName);
        return Outcome::NoCountSheet;
    }
    if (m_data.rows.size() > kMaxRows) {
        m_error = QStringLiteral("%1 count rows do not fit into a worksheet").arg(m_data.rows.size());
        return Outcome::TooManyRows;
    }
    m_sheet1 = find(m_data.sheet1Name);
    m_sheet2 = find(m_data.sheet2Name);
    applyVisibility();
    settleOffsetNames();
    dropCalcChain();
    if (!prepareSheets() || !prepareChartTitles())
        return Outcome::NotAWorkbook;
    m_replaced[m_workbookPart] = printedDocument(*m_workbook);
    m_replaced[XlsxPackage::relationshipsOf(m_workbookPart)] = printedDocument(*m_workbookRels);
    return Outcome::Ready;
}

bool XlsxWorkbookFiller::prepareWorkbook()
{
    m_workbookPart = "xl/workbook.xml";
    if (const auto rootRels = parsed(m_package.read("_rels/.rels")))
        for (pugi::xml_node rel : rootRels->document_element().children("Relationship"))
            if (endsWith(rel.attribute("Type").value(), "/officeDocument"))
                m_workbookPart = XlsxPackage::resolve("", rel.attribute("Target").value());
    m_workbook = parsed(m_package.read(m_workbookPart));
    m_workbookRels = parsed(m_package.read(XlsxPackage::relationshipsOf(m_workbookPart)));
    if (!m_workbook || !m_workbookRels || !m_workbook->document_element().child("sheets")) {
        m_error = QStringLiteral("the template holds no readable workbook part");
        return false;
    }
    for (pugi::xml_node element : m_workbook->document_element().child("sheets").children("sheet")) {
        Sheet sheet;
        sheet.element = element;
        sheet.name = QString::fromUtf8(element.attribute("name").value());
        const std::string_view id = relationshipId(element);
        for (pugi::xml_node rel : m_workbookRels->document_element().children("Relationship")) {
            if (id != rel.attribute("Id").value())
                continue;
            const std::string_view type = rel.attribute("Type").value();
            sheet.worksheet = endsWith(type, "/worksheet");
            sheet.chartsheet = endsWith(type, "/chartsheet");
            sheet.part = XlsxPackage::resolve(m_workbookPart, rel.attribute("Target").value());
        }
        m_sheets.push_back(sheet);
    }
    return true;
}

void XlsxWorkbookFiller::applyVisibility()
{
    int hiddenWorkSheets = 0;
    for (const int k : {m_sheet2, m_sheet1}) {
        if (k < 0 || k == m_countSheet)
            continue;
        m_sheets[static_cast<std::size_t>(k)].setVisible(m_data.showWorkSheets);
        hiddenWorkSheets += m_data.showWorkSheets ? 0 : 1;
    }
    int worksheets = 0;
    bool chartsheets = false;
    for (const Sheet& sheet : m_sheets) {
        worksheets += sheet.worksheet ? 1 : 0;
        chartsheets = chartsheets || sheet.chartsheet;
    }
    const Sheet& count = m_sheets[static_cast<std::size_t>(m_countSheet)];
    count.setVisible(m_data.showCountSheet || !(chartsheets || worksheets - hiddenWorkSheets - 1 >= 1));
    // A workbook keeps one visible sheet, also when the template's own sheets are hidden.
    bool anyVisible = false;
    for (const Sheet& sheet : m_sheets)
        anyVisible = anyVisible || sheet.visible();
    if (!anyVisible)
        count.setVisible(true);

    pugi::xml_node view = m_workbook->document_element().child("bookViews").child("workbookView");
    if (!view)
        view = m_workbook->document_element()
                   .insert_child_before("bookViews", m_workbook->document_element().child("sheets"))
                   .append_child("workbookView");
    view.remove_attribute("activeTab");
    view.remove_attribute("firstSheet");
    view.append_attribute("activeTab") = activeSheet();

    // The template's results are those of its own data: everything is calculated when the file opens.
    pugi::xml_node root = m_workbook->document_element();
    pugi::xml_node calc = root.child("calcPr");
    if (!calc) {
        pugi::xml_node after = root.child("definedNames");
        if (!after)
            after = root.child("externalReferences");
        if (!after)
            after = root.child("sheets");
        calc = root.insert_child_after("calcPr", after);
    }
    calc.remove_attribute("fullCalcOnLoad");
    calc.append_attribute("fullCalcOnLoad") = 1;
}

void XlsxWorkbookFiller::settleOffsetNames()
{
    // Chart series of some spreadsheet programs follow a name only when it stands for a fixed range,
    // and stay empty on an OFFSET name. The cells those OFFSETs read are the period cells written
    // here and the number of hour bands, so each such name becomes the range it gives for this report.
    std::map<QString, int> known;
    if (m_sheet1 >= 0) {
        const QString sheet = m_sheets[static_cast<std::size_t>(m_sheet1)].name + QLatin1Char('!');
        const XlsxWorkValues& v = m_data.values;
        const std::pair<const char*, int> cells[] = {{"G40", v.G40}, {"H40", v.H40},   {"I40", v.I40},
                                                     {"G73", v.G73}, {"H73", v.H73},   {"I73", v.I73},
                                                     {"J73", v.J73}, {"G102", v.G102}, {"H102", v.H102}};
        for (const auto& [reference, value] : cells)
            known[sheet + QLatin1String(reference)] = value;
    }
    if (m_sheet2 >= 0) {
        // A36 of work sheet 2: the hour bands from the first to the last one counted (at most 24), plus one.
        int first = 0;
        int last = 0;
        if (!m_data.rows.empty()) {
            const auto [low, high] =
                std::minmax_element(m_data.rows.begin(), m_data.rows.end(),
                                    [](const XlsxCountRow& a, const XlsxCountRow& b) { return a.band < b.band; });
            first = low->band;
            last = high->band;
        }
        known[m_sheets[static_cast<std::size_t>(m_sheet2)].name + QStringLiteral("!A36")] =
            std::min(24, last - first + 1) + 1;
    }
    for (pugi::xml_node name : m_workbook->document_element().child("definedNames").children("definedName"))
        if (const auto range = offsetRange(QString::fromUtf8(name.child_value()), known))
            name.text().set(range->toUtf8().constData());
}

int XlsxWorkbookFiller::activeSheet() const
{
    // The first chart sheet, else the first worksheet; a hidden sheet cannot be the one shown.
    for (const bool chart : {true, false})
        for (std::size_t k = 0; k < m_sheets.size(); ++k)
            if (m_sheets[k].visible() && (chart ? m_sheets[k].chartsheet : m_sheets[k].worksheet))
                return static_cast<int>(k);
    for (std::size_t k = 0; k < m_sheets.size(); ++k)
        if (m_sheets[k].visible())
            return static_cast<int>(k);
    return 0;
}

void XlsxWorkbookFiller::dropCalcChain()
{
    // The calculation chain lists the template's formula cells in its calculation order; it is rebuilt
    // by the full calculation and a stale one makes the spreadsheet program repair the file.
    pugi::xml_node rels = m_workbookRels->document_element();
    for (pugi::xml_node rel = rels.child("Relationship"); rel;) {
        pugi::xml_node next = rel.next_sibling("Relationship");
        if (endsWith(rel.attribute("Type").value(), "/calcChain")) {
            m_dropped.insert(XlsxPackage::resolve(m_workbookPart, rel.attribute("Target").value()));
            rels.remove_child(rel);
        }
        rel = next;
    }
    if (m_dropped.empty())
        return;
    editPart("[Content_Types].xml", [this](pugi::xml_node types) {
        for (pugi::xml_node entry = types.child("Override"); entry;) {
            pugi::xml_node next = entry.next_sibling("Override");
            if (m_dropped.count(XlsxPackage::resolve("", entry.attribute("PartName").value())))
                types.remove_child(entry);
            entry = next;
        }
    });
}

bool XlsxWorkbookFiller::editPart(const std::string& part, const std::function<void(pugi::xml_node)>& edit)
{
    const auto doc = parsed(m_package.read(part));
    if (!doc) {
        m_error = QStringLiteral("the template's part %1 cannot be read").arg(QString::fromStdString(part));
        return false;
    }
    edit(doc->document_element());
    m_replaced[part] = printedDocument(*doc);
    return true;
}

bool XlsxWorkbookFiller::prepareSheets()
{
    const int active = activeSheet();
    for (std::size_t k = 0; k < m_sheets.size(); ++k) {
        const Sheet& sheet = m_sheets[k];
        const bool isActive = static_cast<int>(k) == active;
        if (static_cast<int>(k) == m_countSheet) {
            if (!prepareCountSheet(sheet, isActive))
                return false;
            continue;
        }
        if (!sheet.worksheet && !sheet.chartsheet)
            continue;
        const bool sheet1 = static_cast<int>(k) == m_sheet1;
        const bool edited = editPart(sheet.part, [&](pugi::xml_node root) {
            selectTab(root, isActive);
            if (!sheet.worksheet)
                return;
            XlsxXml::dropCachedValues(root);
            if (!sheet1)
                return;
            const XlsxWorkValues& v = m_data.values;
            const std::pair<const char*, int> cells[] = {{"G40", v.G40}, {"H40", v.H40},   {"I40", v.I40},
                                                         {"G73", v.G73}, {"H73", v.H73},   {"I73", v.I73},
                                                         {"J73", v.J73}, {"G102", v.G102}, {"H102", v.H102}};
            pugi::xml_node sheetData = root.child("sheetData");
            for (const auto& [reference, value] : cells)
                XlsxXml::setNumber(sheetData, XlsxXml::rowOf(reference), XlsxXml::columnOf(reference), value);
        });
        if (!edited)
            return false;
    }
    return true;
}

bool XlsxWorkbookFiller::prepareChartTitles()
{
    // A title linked to a cell keeps the text it had when the file was saved, and some spreadsheet
    // programs show only that: each title linked to Sheet2!A37 .. A41 gets the text those cells
    // compose for this report. Without count rows the cells have no period to name; the template's
    // text is dropped then rather than shown.
    if (m_sheet2 < 0)
        return true;
    std::optional<std::array<QString, 5>> titles;
    if (!m_data.rows.empty()) {
        const auto [low, high] =
            std::minmax_element(m_data.rows.begin(), m_data.rows.end(),
                                [](const XlsxCountRow& a, const XlsxCountRow& b) { return a.julianDay < b.julianDay; });
        titles = XlsxChartTitles::compose(m_data.values, QDate::fromJulianDay(low->julianDay),
                                          QDate::fromJulianDay(high->julianDay));
    }
    const QString sheet = m_sheets[static_cast<std::size_t>(m_sheet2)].name;
    const QString quoted =
        QLatin1Char('\'') + QString(sheet).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    const long long entries = m_package.entryCount();
    for (long long k = 0; k < entries; ++k) {
        const std::string part = m_package.entryName(k);
        if (part.rfind("xl/charts/", 0) != 0 || part.find("/_rels/") != std::string::npos || !endsWith(part, ".xml"))
            continue;
        const auto doc = parsed(m_package.read(part));
        if (!doc)
            continue;
        pugi::xml_node root = doc->document_element();
        const std::string prefix = std::string(root.name()).substr(0, std::string(root.name()).find(':') + 1);
        pugi::xml_node strRef = root.child((prefix + "chart").c_str())
                                    .child((prefix + "title").c_str())
                                    .child((prefix + "tx").c_str())
                                    .child((prefix + "strRef").c_str());
        const QString reference = QString::fromUtf8(strRef.child_value((prefix + "f").c_str())).trimmed();
        int title = -1;
        for (int row = 37; row <= 41; ++row) {
            const QString cell = QStringLiteral("!$A$%1").arg(row);
            if (reference == sheet + cell || reference == quoted + cell)
                title = row - 37;
        }
        if (title < 0)
            continue;
        strRef.remove_child((prefix + "strCache").c_str());
        if (titles) {
            pugi::xml_node cache = strRef.append_child((prefix + "strCache").c_str());
            cache.append_child((prefix + "ptCount").c_str()).append_attribute("val") = 1;
            pugi::xml_node point = cache.append_child((prefix + "pt").c_str());
            point.append_attribute("idx") = 0;
            point.append_child((prefix + "v").c_str())
                .text()
                .set(XlsxXml::xmlSafe((*titles)[static_cast<std::size_t>(title)]).c_str());
        }
        m_replaced[part] = printedDocument(*doc);
    }
    return true;
}

bool XlsxWorkbookFiller::prepareCountSheet(const Sheet& sheet, bool active)
{
    const auto doc = parsed(m_package.read(sheet.part));
    pugi::xml_node root = doc ? doc->document_element() : pugi::xml_node();
    pugi::xml_node sheetData = root.child("sheetData");
    if (!sheetData) {
        m_error = QStringLiteral("the count sheet's part %1 cannot be read").arg(QString::fromStdString(sheet.part));
        return false;
    }
    selectTab(root, active);
    XlsxXml::dropCachedValues(root);
    // The rows change the sheet's extent; the hint is optional.
    root.remove_child("dimension");
    const QString dateFormat = QStringLiteral("yyyy/MM/dd");
    XlsxXml::setNumber(sheetData, 1, 11, m_data.outputKind);
    XlsxXml::setInlineText(sheetData, 2, 11, m_data.first.toString(dateFormat));
    XlsxXml::setInlineText(sheetData, 2, 12, m_data.last.toString(dateFormat));

    std::vector<XlsxCountSheetStream::TemplateRow> rows;
    const std::size_t countRows = m_data.rows.size();
    for (pugi::xml_node row = sheetData.child("row"); row; row = row.next_sibling("row")) {
        XlsxCountSheetStream::TemplateRow kept;
        kept.number = row.attribute("r").as_int();
        if (kept.number <= 0 || (!rows.empty() && kept.number <= rows.back().number))
            continue;
        const bool filled = static_cast<std::size_t>(kept.number) <= countRows;
        for (pugi::xml_node c : row.children("c"))
            if (!filled || XlsxXml::columnOf(c.attribute("r").value()) > 8)
                kept.cells += printed(c);
        row.remove_attribute("spans");
        while (row.first_child())
            row.remove_child(row.first_child());
        std::string open = printed(row);
        // <row r="1" .../> -> <row r="1" ...>
        if (endsWith(open, "/>"))
            open.replace(open.size() - 2, 2, ">");
        kept.open = std::move(open);
        rows.push_back(std::move(kept));
    }
    while (sheetData.first_child())
        sheetData.remove_child(sheetData.first_child());
    sheetData.append_child(pugi::node_comment)
        .set_value(std::string(kRowsMarker.substr(4, kRowsMarker.size() - 7)).c_str());
    const std::string frame = printedDocument(*doc);
    const std::size_t marker = frame.find(kRowsMarker);
    if (marker == std::string::npos) {
        m_error = QStringLiteral("the count sheet cannot be rebuilt");
        return false;
    }
    m_countStream = std::make_unique<XlsxCountSheetStream>(m_data, frame.substr(0, marker),
                                                           frame.substr(marker + kRowsMarker.size()), std::move(rows),
                                                           columnAStyle(root));
    m_replaced.erase(sheet.part);
    m_countSheetPart = sheet.part;
    return true;
}

bool XlsxWorkbookFiller::write(QIODevice& out, const std::function<void(std::size_t rows)>& progress)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
    if (!archive) {
        m_error = QString::fromUtf8(zip_error_strerror(&error));
        if (buffer)
            zip_source_free(buffer);
        zip_error_fini(&error);
        return false;
    }
    zip_error_fini(&error);
    zip_source_keep(buffer);

    CountSheetSource countSource{m_countStream.get(), {}, 0, m_data.written, {}, progress};
    zip_error_init(&countSource.error);
    bool ok = true;
    const long long entries = m_package.entryCount();
    for (long long k = 0; ok && k < entries; ++k) {
        const std::string name = m_package.entryName(k);
        if (m_dropped.count(name))
            continue;
        zip_source_t* source = nullptr;
        bool edited = false;
        if (name == m_countSheetPart) {
            source = zip_source_function(archive, countSheetSource, &countSource);
            edited = true;
        } else if (const auto replaced = m_replaced.find(name); replaced != m_replaced.end()) {
            source = zip_source_buffer(archive, replaced->second.data(), replaced->second.size(), 0);
            edited = true;
        } else {
            source = zip_source_zip(archive, m_package.archive(), static_cast<zip_uint64_t>(k), 0, 0, -1);
        }
        const zip_int64_t index = source ? zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            ok = false;
            break;
        }
        if (edited)
            zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), m_data.written, 0);
        if (name == m_countSheetPart)
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, kCountSheetLevel);
    }
    if (!ok || zip_close(archive) != 0) {
        m_error = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        zip_source_free(buffer);
        zip_error_fini(&countSource.error);
        return false;
    }
    zip_error_fini(&countSource.error);

    ok = zip_source_open(buffer) == 0;
    char chunk[64 * 1024];
    zip_int64_t read = 0;
    while (ok && (read = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
        ok = out.write(chunk, read) == read;
    ok = ok && read == 0;
    if (!ok)
        m_error = out.errorString();
    zip_source_close(buffer);
    zip_source_free(buffer);
    return ok;
}
