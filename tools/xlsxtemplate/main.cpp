#include "ChartPatch.h"
#include "TemplateWorkbook.h"

#include <cstdio>
#include <string>

// wardale-xlsxtemplate OUTPUT.xlsx
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: wardale-xlsxtemplate OUTPUT.xlsx\n");
        return 2;
    }
    const std::string path = argv[1];
    std::string error;
    if (!TemplateWorkbook::write(path, error) ||
        !ChartPatch::apply(path, "xl/charts/chart5.xml", TemplateWorkbook::namedChartReferences(), error)) {
        std::fprintf(stderr, "wardale-xlsxtemplate: %s\n", error.c_str());
        std::remove(path.c_str());
        return 1;
    }
    return 0;
}
