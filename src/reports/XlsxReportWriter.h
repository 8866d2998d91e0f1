#pragma once

#include "reports/ExportResult.h"

#include <QString>

// The .xlsx branch of ExportCountFile. The workbook filler implements it; until one is installed an
// .xlsx name yields ExportResult::Status::XlsxNotAvailable.
class XlsxReportWriter
{
public:
    virtual ~XlsxReportWriter() = default;
    virtual ExportResult writeXlsxReport(const QString& path) = 0;
};
