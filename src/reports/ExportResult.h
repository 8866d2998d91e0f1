#pragma once

#include <QString>

// Outcome of one count export; failures carry the file error for the log.
struct ExportResult
{
    enum class Status
    {
        Written,
        Failed,
        // The path names an .xlsx file but no XLSX writer is installed.
        XlsxNotAvailable,
        // The path's extension is neither .csv nor .xlsx: nothing is written.
        NotAnExportName,
    };

    Status status = Status::Written;
    QString error;

    bool ok() const { return status == Status::Written; }
    static ExportResult written() { return {}; }
    static ExportResult failed(const QString& error) { return {Status::Failed, error}; }
};
