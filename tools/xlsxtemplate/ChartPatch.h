#pragma once

#include <string>
#include <utility>
#include <vector>

// What the workbook library cannot write directly is set afterwards in the chart parts of the
// written file: the fiscal-year chart becomes a 3-D clustered column chart, and series take their data
// from named ranges, without cached points (the ranges change with every report).
namespace ChartPatch {

// chartPart is the zip entry of the chart to turn into a 3-D column chart ("xl/charts/chart5.xml");
// every chart reference equal to the first of a pair becomes the second one.
bool apply(const std::string& path, const std::string& chartPart,
           const std::vector<std::pair<std::string, std::string>>& namedReferences, std::string& error);

} // namespace ChartPatch
