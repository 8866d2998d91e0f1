#pragma once

#include <string>
#include <utility>
#include <vector>

// The built-in template of the XLSX report: five chart sheets, the count sheet and the two work
// sheets with every formula, named range and chart. The report only fills values into it.
namespace TemplateWorkbook {

// The charts are written with the cells of their tables; these pairs (cells, named range) say which
// chart references are to follow the named ranges instead, whose extent the report sets.
std::vector<std::pair<std::string, std::string>> namedChartReferences();

// Writes the workbook to path; false with error set when the library refused a step.
bool write(const std::string& path, std::string& error);

} // namespace TemplateWorkbook
