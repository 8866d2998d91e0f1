#include "platform/Cp932Codec.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

// A program process of the test's own: data folder and temp folder (the instance lock) in a fresh folder.
class ProgramProcess
{
public:
    explicit ProgramProcess(const TempFolder& folder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("TMPDIR"), folder.file(QStringLiteral("tmp")));
        environment.insert(QStringLiteral("HOME"), folder.path());
        QDir().mkpath(folder.file(QStringLiteral("tmp")));
        m_process.setProcessEnvironment(environment);
        m_process.setProgram(QStringLiteral(WARDALE_PROGRAM));
        m_dataFolder = folder.file(QStringLiteral("data"));
    }

    void start(const QStringList& arguments)
    {
        m_process.setArguments(QStringList{QStringLiteral("--data-dir"), m_dataFolder} + arguments);
        m_process.start();
        m_process.waitForStarted(5000);
    }

    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QString m_dataFolder;
};

void writeSettings(const TempFolder& folder)
{
    // The gate does not communicate, so no connection is tried and no error box can appear.
    const QString text = QStringLiteral("[基本設定]\r\n終了時人数カウントCSV出力=NO\r\n[ゲート1]\r\n名称=正面\r\n"
                                        "通信区分=通信しない\r\nIPアドレス=127.0.0.1\r\nポート番号=1\r\n");
    folder.write(QStringLiteral("data/options.ini"), Cp932Codec::encode(text));
}

} // namespace

TEST(ProgramProcess, SecondCopyEndsAtOnceAndAReportRunsBesideTheFirst)
{
    TempFolder folder;
    writeSettings(folder);
    ProgramProcess first(folder);
    first.start({});
    const QString lockFile = folder.file(QStringLiteral("tmp/WARDALECOUNTER"));
    for (int i = 0; i < 100 && !QFile::exists(lockFile); ++i)
        first.process().waitForFinished(50);
    ASSERT_TRUE(QFile::exists(lockFile));
    ASSERT_EQ(first.process().state(), QProcess::Running);

    ProgramProcess second(folder);
    second.start({});
    ASSERT_TRUE(second.process().waitForFinished(10000));
    EXPECT_EQ(second.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process().exitCode(), 0);

    ProgramProcess report(folder);
    const QString out = folder.file(QStringLiteral("report.csv"));
    report.start({QStringLiteral("DATE=2021/04/01-2021/04/30"), out});
    ASSERT_TRUE(report.process().waitForFinished(20000));
    EXPECT_EQ(report.process().exitCode(), 0) << report.process().readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(out));

    EXPECT_EQ(first.process().state(), QProcess::Running);
    first.process().kill();
    first.process().waitForFinished(5000);
}

TEST(ProgramProcess, StopSignalClosesWithoutTheQuestionAndSavesEverything)
{
    // Once the program runs, and while its window is still being created: the shutdown runs either way.
    for (const int settleMs : {300, 0}) {
        SCOPED_TRACE(settleMs);
        TempFolder folder;
        writeSettings(folder);
        ProgramProcess program(folder);
        program.start({});
        const QString lockFile = folder.file(QStringLiteral("tmp/WARDALECOUNTER"));
        for (int i = 0; i < 1000 && !QFile::exists(lockFile); ++i)
            program.process().waitForFinished(5);
        if (settleMs > 0)
            program.process().waitForFinished(settleMs);
        ASSERT_EQ(program.process().state(), QProcess::Running);
        program.process().terminate();
        ASSERT_TRUE(program.process().waitForFinished(10000));
        EXPECT_EQ(program.process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.process().exitCode(), 0);
        EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("data/pc_all.dat"))));
        EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("data/pc_gate.dat"))));
        EXPECT_TRUE(Cp932Codec::decode(folder.read(QStringLiteral("data/options.ini")))
                        .contains(QStringLiteral("WindowWidth=")));
    }
}
