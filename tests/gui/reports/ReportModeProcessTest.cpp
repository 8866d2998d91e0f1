#include "counting/DayCountRecord.h"
#include "platform/Cp932Codec.h"
#include "platform/DayNumber.h"
#include "platform/LittleEndian.h"
#include "reports/XlsxPackage.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <vector>

namespace {

struct GateDay
{
    int gate;
    QDate date;
};

// A day file of version 1: the given gate-days in this order, band h of aisle a holding gate * 1000 + 100 * a + h.
QByteArray dayFile(const std::vector<GateDay>& days)
{
    QByteArray bytes(8, '\0');
    auto* header = reinterpret_cast<std::uint8_t*>(bytes.data());
    LittleEndian::putI32(header, 1);
    LittleEndian::putI32(header + 4, static_cast<std::int32_t>(DayCountRecord::kSize));
    for (int gate = 0; gate < 15; ++gate) {
        std::vector<DayCountRecord> records;
        for (const GateDay& d : days)
            if (d.gate == gate) {
                DayCountRecord record;
                record.date = DayNumber::fromDate(d.date);
                for (int a = 0; a < DayCountRecord::kAisles; ++a)
                    for (int h = 0; h < DayCountRecord::kBands; ++h)
                        record.bands[a][h] = gate * 1000 + 100 * a + h;
                records.push_back(record);
            }
        QByteArray block(4 + static_cast<qsizetype>(records.size() * DayCountRecord::kSize), '\0');
        auto* at = reinterpret_cast<std::uint8_t*>(block.data());
        LittleEndian::putI32(at, static_cast<std::int32_t>(records.size()));
        for (std::size_t n = 0; n < records.size(); ++n)
            records[n].write(at + 4 + n * DayCountRecord::kSize);
        bytes += block;
    }
    return bytes;
}

// Every gate slot on loopback and switched off: a report never talks to a gate anyway.
QByteArray loopbackSettings()
{
    QString text = QStringLiteral("[基本設定]\r\n終了時人数カウントCSV出力=NO\r\n");
    for (int slot = 1; slot <= 15; ++slot)
        text +=
            QStringLiteral("[ゲート%1]\r\n名称=ゲート%1\r\n通信区分=通信しない\r\nIPアドレス=127.0.0.%1\r\n").arg(slot);
    return Cp932Codec::encode(text);
}

class ReportModeProcessTest : public ::testing::Test
{
protected:
    ReportModeProcessTest()
    {
        folder.write(QStringLiteral("data/options.ini"), loopbackSettings());
        QDir().mkpath(folder.file(QStringLiteral("tmp")));
    }

    // Runs the program with the data folder of this test; the exit code, or -1 when it did not end.
    int run(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("TMPDIR"), folder.file(QStringLiteral("tmp")));
        environment.insert(QStringLiteral("HOME"), folder.path());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProgram(QStringLiteral(WARDALE_PROGRAM));
        process.setArguments(arguments +
                             QStringList{QStringLiteral("--data-dir"), folder.file(QStringLiteral("data"))});
        process.start();
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished(5000);
            return -1;
        }
        errors = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    TempFolder folder;
    QString errors;
};

QByteArray expectedLines(int gate, const QDate& date)
{
    QByteArray lines;
    for (int h = 0; h < 24; ++h)
        lines += QByteArray::number(gate + 1) + ",\"" + date.toString(QStringLiteral("yyyy/MM/dd")).toLatin1() + "\"," +
                 QByteArray::number(h) + ',' + QByteArray::number(gate * 1000 + h) + ',' +
                 QByteArray::number(gate * 1000 + 100 + h) + ',' + QByteArray::number(gate * 1000 + 200 + h) + "\r\n";
    return lines;
}

} // namespace

// Needs the program entry to run report mode: drop  once it writes the report.
TEST_F(ReportModeProcessTest, AppendsTheRawLinesOfThePeriodOnEveryRun)
{
    folder.write(QStringLiteral("data/pc_all.dat"), dayFile({
                                                        {0, QDate(2021, 3, 31)},
                                                        {0, QDate(2021, 4, 1)},
                                                        {0, QDate(2021, 4, 30)},
                                                        {2, QDate(2021, 5, 1)},
                                                        {14, QDate(2021, 4, 15)},
                                                    }));
    const QString out = folder.file(QStringLiteral("reports/out.csv"));
    QDir().mkpath(folder.file(QStringLiteral("reports")));
    const QByteArray expected = expectedLines(0, QDate(2021, 4, 1)) + expectedLines(0, QDate(2021, 4, 30)) +
                                expectedLines(14, QDate(2021, 4, 15));

    ASSERT_EQ(run({QStringLiteral("DATE=2021/04/01-2021/04/30"), out}), 0) << errors.toStdString();
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected);
    file.close();

    ASSERT_EQ(run({QStringLiteral("DATE=2021/04/01-2021/04/30"), out}), 0) << errors.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected + expected);
    // Report mode never writes the settings back.
    EXPECT_EQ(folder.read(QStringLiteral("data/options.ini")), loopbackSettings());
}

// Needs the program entry to run report mode: drop  once it writes the report.
TEST_F(ReportModeProcessTest, AnUnreadableDateEndsWithAnErrorAndNoFile)
{
    const QString out = folder.file(QStringLiteral("bad.csv"));
    EXPECT_NE(run({QStringLiteral("DATE=2021/04/01-2021/04/31"), out}), 0);
    EXPECT_FALSE(errors.isEmpty());
    EXPECT_FALSE(QFile::exists(out));
}

// A scheduled task sees every report that was not written in full: exit code 2, a line on the error
// output, and the output file as it was.
TEST_F(ReportModeProcessTest, EveryFailureToWriteTheReportEndsWithTwo)
{
    const QByteArray days = dayFile({{0, QDate(2021, 4, 5)}});
    folder.write(QStringLiteral("existing.csv"), "earlier report\r\n");
    struct Case
    {
        const char* name;
        QString output;
        QByteArray dayFileBytes;
        const char* said;
    };
    const Case cases[] = {
        {"output is a folder", folder.path(), days, "cannot append"},
        {"output folder missing", folder.file(QStringLiteral("missing/out.csv")), days, "cannot append"},
        {"disk full", QStringLiteral("/dev/full"), days, "cannot append"},
        {"day file cut short", folder.file(QStringLiteral("existing.csv")), days.left(days.size() - 1),
         "no report written"},
        {"day file of no version", folder.file(QStringLiteral("existing.csv")), QByteArray(8, '\0') + days.mid(8),
         "no report written"},
    };
    for (const Case& c : cases) {
        folder.write(QStringLiteral("data/pc_all.dat"), c.dayFileBytes);
        EXPECT_EQ(run({QStringLiteral("DATE=2021/04/01-2021/04/30"), c.output}), 2) << c.name;
        EXPECT_TRUE(errors.contains(QLatin1String(c.said))) << c.name << ": " << errors.toStdString();
        EXPECT_EQ(folder.read(QStringLiteral("existing.csv")), QByteArray("earlier report\r\n")) << c.name;
        EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("missing")))) << c.name;
    }
}

namespace {

// The text or number of one cell of a sheet part, empty when the cell is missing.
std::string cellValue(const std::string& sheetXml, const std::string& reference)
{
    pugi::xml_document doc;
    doc.load_buffer(sheetXml.data(), sheetXml.size());
    const pugi::xml_node c = doc.document_element().child("sheetData").find_node([&](pugi::xml_node n) {
        return std::string(n.name()) == "c" && reference == n.attribute("r").value();
    });
    return std::string(c.attribute("t").value()) == "inlineStr" ? c.child("is").child_value("t") : c.child_value("v");
}

} // namespace

TEST_F(ReportModeProcessTest, AnXlsxNameWritesTheWorkbookOfThePeriod)
{
    folder.write(QStringLiteral("data/pc_all.dat"), dayFile({
                                                        {0, QDate(2021, 3, 31)},
                                                        {0, QDate(2021, 4, 1)},
                                                        {0, QDate(2021, 4, 30)},
                                                        {14, QDate(2021, 4, 15)},
                                                    }));
    const QString out = folder.file(QStringLiteral("monthly.xlsx"));

    ASSERT_EQ(run({QStringLiteral("DATE=2021/04/01-2021/04/30"), out}), 0) << errors.toStdString();
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray workbook = file.readAll();
    XlsxPackage package;
    ASSERT_TRUE(package.open(workbook, nullptr));
    // The built-in template's count sheet is its first worksheet part.
    const std::string count = package.read("xl/worksheets/sheet1.xml").value_or(std::string());
    EXPECT_EQ(cellValue(count, "K1"), "0");
    EXPECT_EQ(cellValue(count, "K2"), "2021/04/01");
    EXPECT_EQ(cellValue(count, "L2"), "2021/04/30");
    // Three gate-days of bands 8 to 21.
    EXPECT_EQ(cellValue(count, "A1"), "2021/04/01");
    EXPECT_EQ(cellValue(count, "E42"), "ゲート15");
    EXPECT_EQ(cellValue(count, "F42"), "14021");
    EXPECT_EQ(cellValue(count, "A43"), "");
    // The built-in template is left in the data folder for the user to edit.
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("data/pc_template.xlsx"))));
}

TEST_F(ReportModeProcessTest, AnXlsxReportThatCannotBeWrittenEndsWithAnError)
{
    const QString out = folder.file(QStringLiteral("missing folder/monthly.xlsx"));
    EXPECT_NE(run({QStringLiteral("DATE=2021/04/01-2021/04/30"), out}), 0);
    EXPECT_TRUE(errors.contains(QStringLiteral("ファイルを作成することが出来ません"))) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}
