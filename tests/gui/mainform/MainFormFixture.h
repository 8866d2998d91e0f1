#pragma once

#include "platform/ManualClock.h"
#include "support/TempFolder.h"
#include "ui/MainFormPrompts.h"
#include "ui/MainFormSubsystems.h"
#include "ui/StartupOptions.h"
#include "ui/TMainForm.h"

#include <QStringList>

#include <memory>

// Records the calls the life cycle makes into the subsystems that join later.
class RecordingSubsystems final : public MainFormSubsystems
{
public:
    QStringList calls;
    bool xlsx = true;

    void createTitleList() override { calls << QStringLiteral("createTitleList"); }
    void createPluginRunner() override { calls << QStringLiteral("createPluginRunner"); }
    void RefreshTitleDatabase() override { calls << QStringLiteral("RefreshTitleDatabase"); }
    bool xlsxReportAvailable() override { return xlsx; }
};

class ScriptedPrompts final : public MainFormPrompts
{
public:
    bool answerYes = true;
    bool shift = false;
    QString savePath;
    int questions = 0;
    int saveDialogs = 0;

    bool confirmClose(QWidget*, const QString&) override
    {
        ++questions;
        return answerYes;
    }
    QString exitCsvSavePath(QWidget*, const QString&) override
    {
        ++saveDialogs;
        return savePath;
    }
    bool shiftHeld() const override { return shift; }
    void showError(QWidget*, const QString& caption, const QString& text) override
    {
        errors << caption + QLatin1Char('|') + text;
    }
    QStringList errors;
};

// A data folder of the test's own with an options.ini written in CP932 (lines joined by CR LF).
class MainFormFixture
{
public:
    MainFormFixture();

    void writeSettings(const QStringList& lines);
    QString settingsText() const;
    std::unique_ptr<TMainForm> create();

    TempFolder folder;
    ManualClock clock;
    RecordingSubsystems subsystems;
    ScriptedPrompts prompts;
    bool network = true;
    QStringList arguments;
    bool reportMode = false;
};

// Gates on loopback only: slot 0, 1 (not communicating) and 3 named.
QStringList threeGateSettings(const QStringList& basicExtra = {});
