#pragma once

#include "reports/CountReportHost.h"
#include "reports/CountReports.h"
#include "reports/XlsxReport.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class Clock;
class CountModel;
class ProgressSink;
class QWidget;
struct ReportDateRange;

// The count CSV menu commands of the main window: date range dialog, file dialogs and the questions
// around the exports and the import of CountReports.
class CountCsvCommands final : public QObject, private CountReportHost
{
    Q_OBJECT

public:
    // What only the main window knows.
    struct Hooks
    {
        // True while ConnectCheckTimer runs (not during shutdown).
        std::function<bool()> connectionCheckRunning;
        std::function<void()> PageLabelSet;
        // Starts the layout pass of Timer2 from the last gate.
        std::function<void()> requestLayoutPass;
    };

    CountCsvCommands(QWidget* mainWindow, CountModel& model, const Clock& clock, ProgressSink& progress,
                     ReportDateRange& range, Hooks hooks, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CountCsvCommands)

    CountReports& reports() { return m_reports; }
    void setXlsxSettings(const XlsxReportSettings& settings) { m_xlsx.setSettings(settings); }
    // Initial folder of the save and open dialogs (from "人数カウント出力フォルダ").
    void setDialogFolder(const QString& folder) { m_dialogFolder = folder; }

    // "人数カウントCSV出力(&C)": date range, then the save dialog with "人数カウント出力ファイル名" given
    // the extension .CSV (the setting keeps the change), then the export the chosen name asks for.
    void CSVFileWriteClick(QString& outputFileName);
    // "人数カウントXLSX出力(&E)": date range, then the save dialog proposing "人数カウント出力ファイル名"
    // with the extension .XLSX (the setting stays as it is), then the XLSX report for an .xlsx name.
    void XLSXE1Click(const QString& outputFileName);
    // "エクスポート(CSV)出力(&B)" and Ctrl+E: with Ctrl held only the days of a chosen date range.
    void CSVB3Click(bool ctrlHeld);
    // "インポート(CSV)入力(&I)".
    void CSV1Click();

    const QString& lastCountCsvName() const { return m_lastCountCsvName; }
    const QString& lastDatabaseName() const { return m_lastDatabaseName; }

private:
    bool connectionCheckRunning() const override;
    void setMainWindowEnabled(bool enabled) override;
    bool askYesNo(const QString& text) override;
    void PageLabelSet() override;
    void requestLayoutPass() override;

    bool askDateRange();
    // Message box of the XLSX report, titled with the application title.
    void showXlsxMessage(const QString& text);
    // Empty when the dialog was cancelled.
    QString chooseFile(bool save, const QString& name, const QString& suffix, const QStringList& filters);

    QWidget* m_mainWindow;
    CountModel& m_model;
    const Clock& m_clock;
    ReportDateRange& m_range;
    Hooks m_hooks;
    CountReports m_reports;
    XlsxReport m_xlsx;
    QString m_dialogFolder;
    QString m_lastCountCsvName = QStringLiteral("人数カウント.csv");
    QString m_lastDatabaseName = QStringLiteral("人数エクスポート.csv");
    QString m_lastXlsxName;
};
