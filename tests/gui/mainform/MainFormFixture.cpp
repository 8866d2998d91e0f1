#include "MainFormFixture.h"

#include "platform/Cp932Codec.h"
#include "platform/DayNumber.h"

#include <QDir>

MainFormFixture::MainFormFixture() : clock(DayNumber::fromDateAndTime(QDate(2024, 3, 31), QTime(10, 0)), 1000)
{
    QDir().mkpath(folder.file(QStringLiteral("docs")));
}

void MainFormFixture::writeSettings(const QStringList& lines)
{
    folder.write(QStringLiteral("options.ini"), Cp932Codec::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

QString MainFormFixture::settingsText() const
{
    return Cp932Codec::decode(folder.read(QStringLiteral("options.ini")));
}

std::unique_ptr<TMainForm> MainFormFixture::create()
{
    StartupOptions options;
    options.arguments = arguments;
    options.reportMode = reportMode;
    options.dataFolderOverride = folder.path();
    options.documentsFolder = folder.file(QStringLiteral("docs"));
    options.clock = &clock;
    options.networkReady = [this](const QStringList&) { return network; };
    options.subsystems = &subsystems;
    options.prompts = &prompts;
    return std::make_unique<TMainForm>(options);
}

QStringList threeGateSettings(const QStringList& basicExtra)
{
    QStringList lines{QStringLiteral("[基本設定]"), QStringLiteral("人数カウントのみ=NO"),
                      QStringLiteral("WindowLeft=100"), QStringLiteral("WindowTop=40"),
                      QStringLiteral("WindowWidth=700"), QStringLiteral("WindowHeight=560"),
                      QStringLiteral("WindowState=0"), QStringLiteral("終了時人数カウントCSV出力=NO")};
    lines << basicExtra;
    lines << QStringLiteral("[ゲート1]") << QStringLiteral("名称=正面玄関ゲート") << QStringLiteral("略称=正面")
          << QStringLiteral("IPアドレス=127.0.0.1") << QStringLiteral("ポート番号=1");
    lines << QStringLiteral("[ゲート2]") << QStringLiteral("名称=通用口ゲート") << QStringLiteral("略称=通用口")
          << QStringLiteral("通信区分=通信しない") << QStringLiteral("IPアドレス=127.0.0.1");
    lines << QStringLiteral("[ゲート4]") << QStringLiteral("名称=閲覧室ゲート") << QStringLiteral("略称=閲覧室")
          << QStringLiteral("IPアドレス=127.0.0.4") << QStringLiteral("ポート番号=1");
    return lines;
}
