#include "reports/XlsxXml.h"

#include <QList>
#include <QString>

namespace XlsxXml {

namespace {

constexpr int kMaxColumn = 16384;
constexpr int kMaxRow = 1048576;

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Characters XML 1.0 cannot carry even escaped.
bool allowedInXml(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

pugi::xml_node rowElement(pugi::xml_node sheetData, int row)
{
    pugi::xml_node before;
    for (pugi::xml_node r = sheetData.child("row"); r; r = r.next_sibling("row")) {
        const int number = r.attribute("r").as_int();
        if (number == row)
            return r;
        if (number > row) {
            before = r;
            break;
        }
    }
    pugi::xml_node created = before ? sheetData.insert_child_before("row", before) : sheetData.append_child("row");
    created.append_attribute("r") = row;
    return created;
}

} // namespace

int columnOf(std::string_view reference)
{
    int column = 0;
    for (const char c : reference) {
        if (!isLetter(c))
            break;
        column = column * 26 + (c & 0x1F);
        if (column > kMaxColumn)
            return 0;
    }
    return column;
}

int rowOf(std::string_view reference)
{
    std::size_t k = 0;
    while (k < reference.size() && isLetter(reference[k]))
        ++k;
    int row = 0;
    for (; k < reference.size(); ++k) {
        const char c = reference[k];
        if (c < '0' || c > '9')
            return 0;
        row = row * 10 + (c - '0');
        if (row > kMaxRow)
            return 0;
    }
    return row;
}

std::string columnName(int column)
{
    std::string name;
    for (; column > 0; column = (column - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
    return name;
}

pugi::xml_node cell(pugi::xml_node sheetData, int row, int column)
{
    pugi::xml_node r = rowElement(sheetData, row);
    // The row's span hint would no longer cover the new cell.
    r.remove_attribute("spans");
    pugi::xml_node before;
    for (pugi::xml_node c = r.child("c"); c; c = c.next_sibling("c")) {
        const int number = columnOf(c.attribute("r").value());
        if (number == column)
            return c;
        if (number > column) {
            before = c;
            break;
        }
    }
    pugi::xml_node created = before ? r.insert_child_before("c", before) : r.append_child("c");
    created.append_attribute("r") = (columnName(column) + std::to_string(row)).c_str();
    return created;
}

namespace {

// Keeps the cell's style, forgets what it held.
pugi::xml_node emptied(pugi::xml_node sheetData, int row, int column)
{
    pugi::xml_node c = cell(sheetData, row, column);
    while (c.first_child())
        c.remove_child(c.first_child());
    c.remove_attribute("t");
    return c;
}

} // namespace

void setNumber(pugi::xml_node sheetData, int row, int column, double value)
{
    emptied(sheetData, row, column).append_child("v").text().set(value);
}

void setInlineText(pugi::xml_node sheetData, int row, int column, const QString& text)
{
    pugi::xml_node c = emptied(sheetData, row, column);
    c.append_attribute("t") = "inlineStr";
    const std::string value = xmlSafe(text);
    pugi::xml_node t = c.append_child("is").append_child("t");
    t.text().set(value.c_str());
    if (hasOuterBlanks(value))
        t.append_attribute("xml:space") = "preserve";
}

void dropCachedValues(pugi::xml_node node)
{
    for (const pugi::xpath_node& found : node.select_nodes("//c[f]")) {
        pugi::xml_node c = found.node();
        c.remove_child("v");
        // A result type without a result confuses readers.
        c.remove_attribute("t");
    }
}

std::string xmlSafe(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()) * 3);
    for (const char32_t c : text.toUcs4())
        if (allowedInXml(c))
            appendUtf8(out, c);
    return out;
}

std::string escaped(const QString& text)
{
    const std::string safe = xmlSafe(text);
    std::string out;
    out.reserve(safe.size());
    for (const char c : safe) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool hasOuterBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return !text.empty() && (blank(text.front()) || blank(text.back()));
}

} // namespace XlsxXml
