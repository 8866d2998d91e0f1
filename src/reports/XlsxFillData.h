#pragma once

#include "reports/XlsxCountRow.h"
#include "reports/XlsxWorkValues.h"

#include <QDate>
#include <QString>

#include <array>
#include <ctime>
#include <vector>

// Everything the workbook filler writes into a copy of the template.
struct XlsxFillData
{
    static constexpr int kGates = 15;

    // "人数カウントシート名", "Sheet1シート名", "Sheet2シート名".
    QString countSheetName = QStringLiteral("人数カウント");
    QString sheet1Name = QStringLiteral("Sheet1");
    QString sheet2Name = QStringLiteral("Sheet2");
    // "XLSX作業用シート表示" and "XLSX人数カウントシート表示".
    bool showWorkSheets = false;
    bool showCountSheet = false;

    // K1, K2 and L2 of the count sheet: output kind and the period's first and last day.
    int outputKind = 0;
    QDate first;
    QDate last;
    XlsxWorkValues values;

    // The texts of columns D and E by gate slot.
    std::array<QString, kGates> gateAddresses;
    std::array<QString, kGates> gateNames;
    std::vector<XlsxCountRow> rows;

    // Modification time of the parts the filler writes.
    std::time_t written = 0;
};
