#include "ui/TSetTCPIPDlg.h"
#include "gatelink/TcpIpPara.h"
#include "ui/LanSettingsModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Only text in the fields: nothing connects to these addresses.
class LanSettingsTest : public ::testing::Test
{
protected:
    LanSettingsTest()
    {
        TcpIpParaEntry& gate = para.entry(tagTCPIPPara::GateRow, 3);
        gate.address = QStringLiteral("192.168.0.10");
        gate.port = 9004;
        TcpIpParaEntry& relay = para.entry(tagTCPIPPara::RelayRow, 3);
        relay.port = 9007;
        relay.address = QStringLiteral("0.0.0.0");
    }

    // Opens the dialog for slot 3 and lets `act` operate the modal dialog once it is shown.
    bool open(const std::function<void(TSetTCPIPDlg&)>& act)
    {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TSetTCPIPDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        return TSetTCPIPDlg::TCPIPOpen(nullptr, para, autoReconnect, 3, [this] { ++restarts; });
    }

    template <typename T> static T* control(TSetTCPIPDlg& dialog, const char* name)
    {
        T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    static void click(TSetTCPIPDlg& dialog, const char* name) { control<QPushButton>(dialog, name)->click(); }

    tagTCPIPPara para;
    bool autoReconnect = true;
    int restarts = 0;
};

TEST_F(LanSettingsTest, ShowsTheSlotsSettingsWithCaptionsAndRanges)
{
    open([](TSetTCPIPDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("LAN接続の設定"));
        const char* parts[] = {"EdTCPIP1_1", "EdTCPIP1_2", "EdTCPIP1_3", "EdTCPIP1_4"};
        const QString shown[] = {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("0"),
                                 QStringLiteral("10")};
        for (int i = 0; i < 4; ++i) {
            auto* edit = control<QSpinBox>(dialog, parts[i]);
            EXPECT_EQ(edit->text(), shown[i]);
            EXPECT_EQ(edit->minimum(), 0);
            EXPECT_EQ(edit->maximum(), 255);
        }
        EXPECT_EQ(control<QSpinBox>(dialog, "EdTCPServPort")->value(), 9004);
        EXPECT_EQ(control<QSpinBox>(dialog, "EdTCPPort")->value(), 9007);
        EXPECT_EQ(control<QSpinBox>(dialog, "EdTCPPort")->maximum(), 65535);
        EXPECT_TRUE(control<QCheckBox>(dialog, "AutoReConnectCheckBox")->isChecked());
        EXPECT_EQ(control<QCheckBox>(dialog, "AutoReConnectCheckBox")->text(),
                  QStringLiteral("自動再接続(ゲート切断時に自動的に再接続を行います)"));
        EXPECT_FALSE(control<QGroupBox>(dialog, "RadioGroup1")->isVisible());
        EXPECT_EQ(control<QPushButton>(dialog, "OKBtn")->text(), QStringLiteral("接続"));
        EXPECT_EQ(control<QPushButton>(dialog, "CancelBtn")->text(), QStringLiteral("キャンセル"));
        QStringList groups;
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
            if (group->isVisible())
                groups << group->title();
        EXPECT_EQ(groups, QStringList({QStringLiteral("ゲートのIPアドレス及びポート番号の設定"),
                                       QStringLiteral("中継用のポート番号の設定")}));
    });
}

TEST_F(LanSettingsTest, OkWithoutChangesKeepsTheAddressAndRestartsOnce)
{
    EXPECT_TRUE(open([](TSetTCPIPDlg& dialog) { click(dialog, "OKBtn"); }));
    const TcpIpParaEntry& gate = para.entry(tagTCPIPPara::GateRow, 3);
    const TcpIpParaEntry& relay = para.entry(tagTCPIPPara::RelayRow, 3);
    EXPECT_EQ(gate.address, QStringLiteral("192.168.0.10"));
    EXPECT_EQ(gate.port, 9004);
    EXPECT_FALSE(gate.isServer);
    EXPECT_EQ(relay.address, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(relay.port, 9007);
    EXPECT_TRUE(relay.isServer);
    EXPECT_EQ(restarts, 1);
}

TEST_F(LanSettingsTest, OkStoresEditedFieldsCancelChangesNothing)
{
    const auto edit = [](TSetTCPIPDlg& dialog) {
        control<QSpinBox>(dialog, "EdTCPIP1_1")->setValue(127);
        control<QSpinBox>(dialog, "EdTCPIP1_2")->setValue(0);
        control<QSpinBox>(dialog, "EdTCPIP1_4")->setValue(5);
        control<QSpinBox>(dialog, "EdTCPServPort")->setValue(9100);
        control<QSpinBox>(dialog, "EdTCPPort")->setValue(9200);
        control<QCheckBox>(dialog, "AutoReConnectCheckBox")->setChecked(false);
    };
    const tagTCPIPPara before = para;
    EXPECT_FALSE(open([&](TSetTCPIPDlg& dialog) {
        edit(dialog);
        click(dialog, "CancelBtn");
    }));
    EXPECT_EQ(para.entry(tagTCPIPPara::GateRow, 3).address, before.entry(tagTCPIPPara::GateRow, 3).address);
    EXPECT_EQ(para.entry(tagTCPIPPara::GateRow, 3).port, 9004);
    EXPECT_EQ(para.entry(tagTCPIPPara::RelayRow, 3).port, 9007);
    EXPECT_EQ(para.entry(tagTCPIPPara::RelayRow, 3).address, QStringLiteral("0.0.0.0"));
    EXPECT_TRUE(autoReconnect);
    EXPECT_EQ(restarts, 0);

    EXPECT_TRUE(open([&](TSetTCPIPDlg& dialog) {
        edit(dialog);
        click(dialog, "OKBtn");
    }));
    EXPECT_EQ(para.entry(tagTCPIPPara::GateRow, 3).address, QStringLiteral("127.0.0.5"));
    EXPECT_EQ(para.entry(tagTCPIPPara::GateRow, 3).port, 9100);
    EXPECT_EQ(para.entry(tagTCPIPPara::RelayRow, 3).port, 9200);
    EXPECT_FALSE(autoReconnect);
    EXPECT_EQ(restarts, 1);
    // Other slots are untouched.
    EXPECT_EQ(para.entry(tagTCPIPPara::GateRow, 2).address, QString());
}

TEST_F(LanSettingsTest, PortFieldsRefuseValuesAbove65535)
{
    open([](TSetTCPIPDlg& dialog) {
        for (const char* name : {"EdTCPServPort", "EdTCPPort"}) {
            auto* edit = control<QSpinBox>(dialog, name);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("70000"));
            edit->interpretText();
            EXPECT_LE(edit->value(), 65535) << name;
            EXPECT_NE(edit->text(), QStringLiteral("70000")) << name;
        }
        click(dialog, "OKBtn");
    });
    EXPECT_LE(para.entry(tagTCPIPPara::GateRow, 3).port, 65535);
}

// Addresses the four number fields cannot show survive an OK that did not touch them.
TEST_F(LanSettingsTest, AddressesThatAreNotFourNumbersSurviveAnUntouchedOk)
{
    for (const QString& address : {QStringLiteral("gate-a.library.local"), QStringLiteral("127.0.0"), QString()}) {
        SCOPED_TRACE(address.toStdString());
        para.entry(tagTCPIPPara::GateRow, 3).address = address;
        EXPECT_TRUE(open([](TSetTCPIPDlg& dialog) {
            // None of the three has a fourth part that is a number.
            EXPECT_EQ(control<QSpinBox>(dialog, "EdTCPIP1_4")->text(), QString());
            click(dialog, "OKBtn");
        }));
        EXPECT_EQ(para.entry(tagTCPIPPara::GateRow, 3).address, address);
    }
    EXPECT_EQ(LanSettingsModel::splitAddress(QStringLiteral("127.0.0")),
              (std::array<QString, 4>{QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QString()}));
}

} // namespace
