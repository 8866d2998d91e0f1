#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

class QString;

// Small edits of SpreadsheetML parts: cells by reference, cached formula results, text escaping.
namespace XlsxXml {

// Column number of a cell reference ("K2" -> 11); 0 when the text starts with no column letters.
int columnOf(std::string_view reference);
// Row number of a cell reference ("K2" -> 2); 0 when there is none.
int rowOf(std::string_view reference);
// "A".."XFD" for 1..16384.
std::string columnName(int column);

// The cell element of reference in sheetData, created in row and column order when missing.
pugi::xml_node cell(pugi::xml_node sheetData, int row, int column);
void setNumber(pugi::xml_node sheetData, int row, int column, double value);
void setInlineText(pugi::xml_node sheetData, int row, int column, const QString& text);

// Removes the stored results of every formula cell below node, so that nothing shows a result of the
// template's data until the spreadsheet program has calculated.
void dropCachedValues(pugi::xml_node node);

// The text in UTF-8 without the characters XML cannot carry even escaped.
std::string xmlSafe(const QString& text);
// The text as XML character data in UTF-8: markup characters escaped, characters XML cannot carry
// dropped.
std::string escaped(const QString& text);

// True when the text needs xml:space="preserve" to keep its outer blanks.
bool hasOuterBlanks(std::string_view text);

} // namespace XlsxXml
