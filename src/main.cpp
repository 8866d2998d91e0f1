#include "platform/InstanceLock.h"
#include "platform/SignalCloser.h"
#include "ui/ProgramArguments.h"
#include "ui/TMainForm.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <optional>

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int runProgram(const ProgramArguments& program)
{
    // A stop signal that comes while the window is still being created closes it as soon as the loop runs,
    // instead of ending the program without its shutdown.
    TMainForm* window = nullptr;
    bool stopRequested = false;
    std::optional<SignalCloser> closer;
    if (!program.reportMode)
        closer.emplace([&window, &stopRequested] {
            if (window)
                window->closeWithoutQuestion();
            else
                stopRequested = true;
        });

    InstanceLock lock;
    // A second copy ends silently; a report runs beside a running copy.
    if (!lock.tryAcquire() && !program.reportMode)
        return 0;

    StartupOptions options;
    options.arguments = program.arguments;
    options.reportMode = program.reportMode;
    options.programFolder = QCoreApplication::applicationDirPath();
    options.dataFolderOverride = program.dataFolderOverride;

    TMainForm form(options);
    if (program.reportMode) {
        if (form.reportError().isEmpty())
            return 0;
        std::fprintf(stderr, "%s\n", form.reportError().toLocal8Bit().constData());
        return 2;
    }
    window = &form;
    form.show();
    if (stopRequested)
        QTimer::singleShot(0, &form, [&form] { form.closeWithoutQuestion(); });
    QApplication::exec();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const ProgramArguments program = ProgramArguments::parse(argumentsOf(argc, argv));
    // A report started by a scheduled task has no desktop to draw on.
    if (program.reportMode && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        return runProgram(program);
    } catch (const std::exception& error) {
        if (program.reportMode) {
            std::fprintf(stderr, "%s\n", error.what());
            return 2;
        }
        QMessageBox::critical(nullptr, QStringLiteral("WardaleCounter"), QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
