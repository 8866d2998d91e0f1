#include "MainFormFixture.h"

#include "gatelink/TcpIpPara.h"
#include "platform/Cp932Codec.h"
#include "platform/DayNumber.h"
#include "reports/CountReports.h"
#include "ui/CountCsvCommands.h"
#include "ui/TSetTCPIPDlg.h"

#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

// The window is never shown, so no link exists and nothing connects to the changed address; the gate's
// transport entry is filled as the first show fills it.
TEST(MainFormCountCsv, ExportsPrintTheGateAddressTheLanDialogSet)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings());
    auto form = fixture.create();
    form->tcpipPara().entry(tagTCPIPPara::GateRow, 0) = TcpIpParaEntry{0, false, 1, QStringLiteral("127.0.0.1")};
    const double day = DayNumber::fromDate(QDate(2024, 3, 29));
    CountModel& counts = form->counts();
    counts.setDayRecordCount(0, 1);
    *counts.DayRecordAt(0, 0) = DayCountRecord{};
    counts.DayRecordAt(0, 0)->date = day;
    form->reportRange().first = day;
    form->reportRange().last = day;

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TSetTCPIPDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QSpinBox*>(QStringLiteral("EdTCPIP1_4"))->setValue(9);
        dialog->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    ASSERT_TRUE(form->TCPIPOpen(0));
    ASSERT_EQ(form->settings().gates[0].ipAddress, QStringLiteral("127.0.0.9"));

    const QString path = fixture.folder.file(QStringLiteral("counts.csv"));
    ASSERT_TRUE(form->csvCommands().reports().ExportCountFile(path).ok());
    const QStringList lines =
        Cp932Codec::decode(fixture.folder.read(QStringLiteral("counts.csv"))).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 14 + 1);
    EXPECT_EQ(lines[0], QStringLiteral("\"2024/03/29\",8,\"金\",\"127.0.0.9\",\"正面玄関ゲート\",0,0,0"));
}
