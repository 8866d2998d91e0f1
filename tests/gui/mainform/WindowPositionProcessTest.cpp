#include "FramingDisplay.h"
#include "platform/Cp932Codec.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

constexpr int kRuns = 5;
const QPoint kCorner(100, 80);
const QSize kSize(780, 600);

// Every gate slot on loopback and not communicating, so the runs open no connection at all.
void writeSettings(const TempFolder& folder)
{
    QString text = QStringLiteral("[基本設定]\r\n終了時人数カウントCSV出力=NO\r\nWindowLeft=%1\r\nWindowTop=%2\r\n"
                                  "WindowWidth=%3\r\nWindowHeight=%4\r\nWindowState=0\r\n")
                       .arg(kCorner.x())
                       .arg(kCorner.y())
                       .arg(kSize.width())
                       .arg(kSize.height());
    for (int slot = 1; slot <= 15; ++slot)
        text += QStringLiteral("[ゲート%1]\r\n名称=%2\r\n通信区分=通信しない\r\nIPアドレス=127.0.0.1\r\n")
                    .arg(slot)
                    .arg(slot == 1 ? QStringLiteral("正面") : QString());
    folder.write(QStringLiteral("data/options.ini"), Cp932Codec::encode(text));
}

int savedValue(const QString& settings, const QString& key)
{
    const QRegularExpression line(QStringLiteral("^%1=(-?\\d+)\\r?$").arg(key), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(settings);
    return match.hasMatch() ? match.captured(1).toInt() : -99999;
}

QString describe(const QPoint& p)
{
    return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
}

} // namespace

// The saved window corner is the corner of the whole window, title bar included, and is put back as
// that same corner: under a window manager that draws frames the window stays where it was left, run after run.
TEST(WindowPositionProcess, WindowStaysPutOverRunsUnderAWindowManager)
{
    const QString missing = FramingDisplay::missingPrograms();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    FramingDisplay display;
    QString error;
    ASSERT_TRUE(display.start(error)) << error.toStdString();

    TempFolder folder;
    writeSettings(folder);
    QDir().mkpath(folder.file(QStringLiteral("tmp")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display.display());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("TMPDIR"), folder.file(QStringLiteral("tmp")));
    environment.insert(QStringLiteral("HOME"), folder.path());

    QStringList runs;
    bool moved = false;
    for (int run = 1; run <= kRuns; ++run) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProgram(QStringLiteral(WARDALE_PROGRAM));
        program.setArguments({QStringLiteral("--data-dir"), folder.file(QStringLiteral("data"))});
        program.start();
        ASSERT_TRUE(program.waitForStarted(5000));

        const std::optional<FramedWindow> window = display.waitForFramedWindow(program.processId(), 20000);
        if (!window) {
            program.kill();
            program.waitForFinished(5000);
            FAIL() << "run " << run << ": the window was not framed in time; "
                   << program.readAllStandardError().toStdString();
        }
        ASSERT_GT(window->clientCorner.y(), window->frame.top()) << "the window manager drew no title bar";

        // The stop signal closes the window through the program's own close, which saves the settings.
        program.terminate();
        ASSERT_TRUE(program.waitForFinished(15000));
        ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

        const QString settings = Cp932Codec::decode(folder.read(QStringLiteral("data/options.ini")));
        const QPoint saved(savedValue(settings, QStringLiteral("WindowLeft")),
                           savedValue(settings, QStringLiteral("WindowTop")));
        const QSize savedSize(savedValue(settings, QStringLiteral("WindowWidth")),
                              savedValue(settings, QStringLiteral("WindowHeight")));
        runs << QStringLiteral("run %1: frame at %2, client area at %3, saved %4 size %5x%6")
                    .arg(run)
                    .arg(describe(window->frame.topLeft()), describe(window->clientCorner), describe(saved))
                    .arg(savedSize.width())
                    .arg(savedSize.height());
        moved = moved || window->frame.topLeft() != kCorner || saved != kCorner || savedSize != kSize;
    }
    EXPECT_FALSE(moved) << "expected the frame and the saved corner at " << describe(kCorner).toStdString()
                        << " and the size " << kSize.width() << "x" << kSize.height() << " every run:\n"
                        << runs.join(QLatin1Char('\n')).toStdString();
}
