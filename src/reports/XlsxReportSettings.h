#pragma once

#include <QString>

// The settings the XLSX report reads, filled from the settings record.
struct XlsxReportSettings
{
    // "XLSXテンプレートファイル", resolved.
    QString templatePath;
    // "人数カウントシート名", "Sheet1シート名", "Sheet2シート名".
    QString countSheetName = QStringLiteral("人数カウント");
    QString sheet1Name = QStringLiteral("Sheet1");
    QString sheet2Name = QStringLiteral("Sheet2");
    // "XLSX作業用シート表示", "XLSX人数カウントシート表示".
    bool showWorkSheets = false;
    bool showCountSheet = false;
};
