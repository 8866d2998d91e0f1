#include "reports/XlsxFillData.h"
#include "reports/XlsxTemplate.h"
#include "reports/XlsxWorkbookFiller.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

// Bytes as a user's template workbook: the filler prepares and writes it or refuses it, without a
// fault; a workbook it writes opens again as a workbook with the count sheet.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray workbook(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    XlsxFillData fill;
    fill.first = QDate(2021, 4, 1);
    fill.last = QDate(2021, 4, 30);
    fill.gateNames[0] = QStringLiteral("<正面&\"玄関\">");
    fill.gateAddresses[0] = QStringLiteral("127.0.0.1");
    for (int band = 8; band <= 21; ++band) {
        XlsxCountRow row;
        row.julianDay = QDate(2021, 4, 5).toJulianDay();
        row.band = static_cast<std::uint8_t>(band);
        row.aisles[0] = band * 3;
        fill.rows.push_back(row);
    }
    fill.showCountSheet = size % 2 == 1;
    XlsxWorkbookFiller filler(fill);
    if (filler.prepare(workbook) != XlsxWorkbookFiller::Outcome::Ready)
        return 0;
    QByteArray output;
    QBuffer buffer(&output);
    buffer.open(QIODevice::WriteOnly);
    if (!filler.write(buffer, {}))
        return 0;
    XlsxWorkbookFiller again(fill);
    if (again.prepare(output) != XlsxWorkbookFiller::Outcome::Ready)
        __builtin_trap();
    return 0;
}
