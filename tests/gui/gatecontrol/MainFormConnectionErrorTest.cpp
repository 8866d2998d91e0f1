#include "../mainform/MainFormFixture.h"

#include "ui/TGateErrorForm.h"

#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A gate on loopback that takes connections and can be taken down and brought back on its port.
class LoopbackGate
{
public:
    bool up()
    {
        if (!m_server.listen(QHostAddress::LocalHost, m_port))
            return false;
        m_port = m_server.serverPort();
        return true;
    }
    void down()
    {
        m_server.close();
        for (QTcpSocket* connection : m_server.findChildren<QTcpSocket*>())
            connection->abort();
    }
    quint16 port() const { return m_port; }

private:
    QTcpServer m_server;
    quint16 m_port = 0;
};

} // namespace

TEST(MainFormConnectionError, AGateThatComesBackAndGoesDownAgainIsAnnouncedAgain)
{
    LoopbackGate gate;
    ASSERT_TRUE(gate.up());
    MainFormFixture fixture;
    fixture.writeSettings({QStringLiteral("[基本設定]"), QStringLiteral("人数カウントのみ=YES"),
                           QStringLiteral("中継サーバー=OFF"), QStringLiteral("終了時人数カウントCSV出力=NO"),
                           QStringLiteral("[ゲート1]"), QStringLiteral("名称=正面玄関ゲート"),
                           QStringLiteral("略称=正面"), QStringLiteral("IPアドレス=127.0.0.1"),
                           QStringLiteral("ポート番号=") + QString::number(gate.port())});
    auto form = fixture.create();
    form->show();

    const auto announced = [&form] {
        const TGateErrorForm* window = form->connectionErrorWindow();
        return window && window->isVisible() && window->message().startsWith(QStringLiteral("正面が"));
    };
    // Lets the program's time run in half seconds until the gate is announced.
    const auto announcedWithin = [&](int seconds) {
        for (int half = 0; half < 2 * seconds && !announced(); ++half) {
            fixture.clock.advanceMs(500);
            QTest::qWait(10);
        }
        return announced();
    };
    // Up: the sequence has left its connection wait. Down: the sequence has reconnected.
    const auto comesUp = [&form] {
        return QTest::qWaitFor([&form] { return form->gateConnected(0) && form->sequence()[0].step >= 2; }, 5000);
    };
    const auto goesDown = [&gate, &form] {
        gate.down();
        return QTest::qWaitFor([&form] { return !form->gateConnected(0) && form->sequence()[0].step == 0; }, 5000);
    };

    ASSERT_TRUE(comesUp());
    ASSERT_TRUE(goesDown());
    ASSERT_TRUE(announcedWithin(20));

    // The operator closes the window: the gate is not announced again while it stays down.
    form->connectionErrorWindow()->findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
    EXPECT_TRUE(form->sequence()[0].acknowledged);
    EXPECT_FALSE(announcedWithin(20));

    ASSERT_TRUE(gate.up());
    ASSERT_TRUE(comesUp());
    ASSERT_TRUE(goesDown());
    EXPECT_TRUE(announcedWithin(20)) << "lost again after it came back";
    EXPECT_TRUE(fixture.prompts.errors.isEmpty());
    form->close();
}
