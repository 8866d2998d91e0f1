#include "SoakSettings.h"

#include "platform/Cp932Codec.h"

#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>

#include <memory>
#include <vector>

QByteArray SoakSettings::optionsIni(const QList<std::pair<QString, quint16>>& gates, const QList<quint16>& relayPorts)
{
    QStringList lines{QStringLiteral("[基本設定]"),
                      QStringLiteral("人数カウントのみ=NO"),
                      QStringLiteral("終了時人数カウントCSV出力=NO"),
                      QStringLiteral("自動保存間隔[分]=1"),
                      QStringLiteral("中継サーバー=ON"),
                      QStringLiteral("自動再接続=YES"),
                      QStringLiteral("ホストPC切断猶予時間[秒]=0"),
                      QStringLiteral("WindowLeft=0"),
                      QStringLiteral("WindowTop=0"),
                      QStringLiteral("WindowWidth=800"),
                      QStringLiteral("WindowHeight=600"),
                      QStringLiteral("WindowState=0")};
    for (qsizetype i = 0; i < gates.size(); ++i) {
        lines << QStringLiteral("[ゲート%1]").arg(i + 1) << QStringLiteral("名称=ゲート%1").arg(i + 1)
              << QStringLiteral("略称=G%1").arg(i + 1) << QStringLiteral("通信区分=通信する")
              << QStringLiteral("IPアドレス=%1").arg(gates[i].first)
              << QStringLiteral("ポート番号=%1").arg(gates[i].second)
              << QStringLiteral("中継ポート番号=%1").arg(relayPorts.value(i));
    }
    return Cp932Codec::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QList<quint16> SoakSettings::freeLoopbackPorts(int count)
{
    // All held at once, so the ports differ; released just before the program takes them.
    std::vector<std::unique_ptr<QTcpServer>> servers;
    QList<quint16> ports;
    for (int i = 0; i < count; ++i) {
        auto server = std::make_unique<QTcpServer>();
        if (server->listen(QHostAddress::LocalHost, 0))
            ports << server->serverPort();
        servers.push_back(std::move(server));
    }
    return ports;
}
