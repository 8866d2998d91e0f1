#pragma once

#include "config/IniFileHost.h"
#include "config/SettingsRecord.h"
#include "counting/CountFiles.h"
#include "counting/CountModel.h"
#include "gatecontrol/SequenceHost.h"
#include "gatecontrol/SequenceRecord.h"
#include "gatecontrol/TickTable.h"
#include "gatelink/GateReportSink.h"
#include "gatelink/LinkHost.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TcpIpPara.h"
#include "reports/ReportDateRange.h"
#include "ui/CountViewWindow.h"
#include "ui/StartupOptions.h"

#include <QImage>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <array>
#include <memory>

class CountCsvCommands;
class CountView;
class DailySchedules;
class LayoutPass;
class GateControl;
class GatePages;
class TGateErrorForm;
class MainFormPrompts;
class MainFormSubsystems;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TProg;
class TTComXDlg;

// The main window: owns the settings record, the count tables, the gate pages and the timers for
// the whole run, and carries out start-up (creation, first show) and the two-phase shutdown.
class TMainForm final : public QMainWindow,
                        public IniFileHost,
                        public LinkHost,
                        public GateReportSink,
                        public SequenceHost,
                        public CountViewWindow
{
    Q_OBJECT

public:
    static constexpr int kSlots = 15;
    static constexpr int kLogTagPage = 15;
    static constexpr int kLinkLogPage = 16;

    explicit TMainForm(const StartupOptions& options, QWidget* parent = nullptr);
    ~TMainForm() override;
    Q_DISABLE_COPY_MOVE(TMainForm)

    TProg& progress() { return *m_progress; }
    CountCsvCommands& csvCommands() { return *m_csvCommands; }
    ReportDateRange& reportRange() { return m_reportRange; }

    bool reportMode() const { return m_options.reportMode; }
    // Outcome of report mode: empty when the report was written, else the reason on standard error.
    const QString& reportError() const { return m_reportError; }

    const QString& dataFolder() const { return m_dataFolder; }
    const SettingsRecord& settings() const { return m_settings; }
    CountModel& counts() { return m_counts; }
    CountFiles& countFiles() { return *m_countFiles; }
    GatePages& pages() { return *m_pages; }
    QTabWidget* pageControl() const { return PageControl1; }
    std::array<SequenceRecord, kSlots>& sequence() { return m_sequence; }
    TickTable& ticks() { return m_ticks; }
    QTimer& closeTimer() { return CloseTimer; }
    QTimer& connectCheckTimer() { return ConnectCheckTimer; }
    bool connectionsDeferred() const { return m_connectionsDeferred; }
    bool isClosing() const { return m_closing; }
    bool isMinimised() const { return m_minimised; }
    bool fatalError() const { return m_fatalError; }
    void setFatalError() { m_fatalError = true; }
    double startTime() const { return m_startTime; }
    double scaleX() const { return m_scaleX; }
    double scaleY() const { return m_scaleY; }
    const QString& saveDialogFolder() const { return m_saveFolder; }
    const QString& openDialogFolder() const { return m_openFolder; }
    const QImage& digitImage(int digit) const { return m_digits[digit]; }
    const QImage& commaImage() const { return m_comma; }
    const QImage& connectionImage(int kind) const { return m_connectionImages[kind]; }
    QAction* xlsxExportAction() const { return XLSXE1; }
    QPlainTextEdit* linkLogView() const { return Memo1; }

    bool gateConnected(int slot) const;
    // A close that skips the question (a stop signal); the gates still run their shutdown steps.
    void closeWithoutQuestion();
    // Gate link i (0..14) and relay link 15 + i; null before the first show.
    TTComXDlg* link(int index) const { return m_links[index]; }
    LinkShared& linkShared() { return m_linkShared; }
    LinkLogModel& linkLog() { return m_linkLog; }
    tagTCPIPPara& tcpipPara() { return m_tcpipPara; }

    // LinkHost
    QString gateName(int gate) const override;
    void ShowFatalConnectionError(const QString& caption, const QString& text) override;

    // SequenceHost
    bool tagViewBusy() const override;
    bool buzzerRunning() const override;
    bool shutdownComplete() const override { return m_shutdownComplete; }
    void startTimer1() override { Timer1.start(); }
    void restartGridUpdateTimer() override;
    void GateTabCaptionSet(int slot) override;
    void markAlarmsHandled(int slot) override;
    int alarmSelector(int slot) const override;
    int activeGateSlot() const override;
    bool rfPauseButtonEnabled() const override;
    void setRfPauseButtonEnabled(bool enabled) override;
    void showConnectionError(const QString& text, int pointSize) override;
    void closeConnectionError() override;
    bool networkReady() override;
    void recreateLinks() override;

    GateControl& gateControl() { return *m_gateControl; }
    DailySchedules& schedules() { return *m_schedules; }
    // The RF pause window for the gate on the active page (the button "電波一時停止(Esc)" and Esc).
    void Gate1StopButtonClick();
    CountView& countView() { return *m_countView; }
    LayoutPass& layoutPass() { return *m_layoutPass; }

    // CountViewWindow
    bool gateLinkConnected(int slot) const override { return gateConnected(slot); }
    double horizontalScale() const override { return m_scaleX; }
    double verticalScale() const override { return m_scaleY; }
    bool windowMinimised() const override { return m_minimised; }
    void pickTagFont(int gate, int aspectClass) override;
    void refreshTagGrid(int gate) override;
    TGateErrorForm* connectionErrorWindow() const { return m_errorForm; }
    // Ctrl+Shift+Q: the LAN settings of the shown gate, then its restart.
    bool TCPIPOpen(int slot);
    int shownGate() const;

    // GateReportSink
    void CountValuesReceived(int gate, const CountRecord& record) override;
    void CountBlocksReceived(int gate, const CountRecord& record, int blocks) override;
    void TagDetected(int gate, const TagReport& report) override;

    // IniFileHost
    void ComponentInit(int slot) override;
    void applyWindowGeometry(const WindowGeometry& geometry) override;
    WindowGeometry currentWindowGeometry() const override;
    void Read_PC_file() override;
    void emptyEventLog() override;
    void Read_DAY_file() override;
    void Write_PC_file() override;
    void Write_DAY_file() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void CloseTimerTimer();

private:
    void buildWindow();
    void buildMenus();
    void buildLogPages();
    void buildButtons();
    void FormCreate();
    void locateDataFolder();
    void loadImages();
    void applyCountOnlyLayout();
    void setDialogFolders();
    void placeWindow();
    void completePages();
    void createCountCommands();
    void createCountView();
    void runReportMode();
    // Remembers a count file that exists but was not taken: a report without its counts is no report.
    void noteUnreadCountFile(const QString& path, const CountFileLoad& load);
    void writeExitCsv();
    void FormShow();
    void createLinks();
    void createGateControl();
    QStringList activeGateAddresses() const;
    bool FormCloseQuery();
    void FormClose();
    void FormResize();
    void alignButtons();

    StartupOptions m_options;
    const Clock& m_clock;
    MainFormSubsystems* m_subsystems;
    MainFormPrompts* m_prompts;
    std::unique_ptr<MainFormSubsystems> m_ownedSubsystems;
    std::unique_ptr<MainFormPrompts> m_ownedPrompts;
    std::unique_ptr<TProg> m_progress;
    std::unique_ptr<CountCsvCommands> m_csvCommands;
    ReportDateRange m_reportRange;

    SettingsRecord m_settings;
    CountModel m_counts;
    std::unique_ptr<CountFiles> m_countFiles;
    TickTable m_ticks;
    LinkShared m_linkShared;
    LinkLogModel m_linkLog;
    tagTCPIPPara m_tcpipPara;
    std::array<TTComXDlg*, LinkShared::kLinks> m_links{};
    std::unique_ptr<GateControl> m_gateControl;
    std::unique_ptr<DailySchedules> m_schedules;
    TGateErrorForm* m_errorForm = nullptr;
    bool m_keyGuard = false;
    std::array<SequenceRecord, kSlots> m_sequence{};

    QFrame* OuterPanel = nullptr;
    QTabWidget* PageControl1 = nullptr;
    std::unique_ptr<GatePages> m_pages;
    QWidget* TabSheetLog = nullptr;
    QWidget* TabSheetLog2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QWidget* m_buttonBar = nullptr;
    QPushButton* EndButton = nullptr;
    QPushButton* Gate1StopButton = nullptr;
    QPushButton* Gate1TagClearButton = nullptr;
    QFrame* ConnectionPanel = nullptr;
    QLabel* ConnectionImage = nullptr;
    QAction* XLSXE1 = nullptr;
    QAction* G1 = nullptr;
    QMenu* m_titleDatabaseMenu = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* m_statusText = nullptr;

    QTimer ConnectCheckTimer;
    QTimer CloseTimer;
    QTimer Timer1;
    QTimer Timer2;

    std::array<QImage, 10> m_digits;
    QImage m_comma;
    std::array<QImage, 3> m_connectionImages;

    QString m_dataFolder;
    QString m_documentsFolder;
    QString m_saveFolder;
    QString m_openFolder;
    QString m_reportError;
    QStringList m_unreadCountFiles;
    double m_startTime = 0.0;
    double m_scaleX = 1.0;
    double m_scaleY = 1.0;
    int m_osMajor = 0;
    int m_osMinor = 0;
    bool m_closing = false;
    bool m_minimised = false;
    bool m_connectionsDeferred = false;
    bool m_fatalError = false;
    bool m_shutdownComplete = false;
    bool m_shown = false;
    bool m_closed = false;
    bool m_skipQuestion = false;
    Qt::WindowStates m_lastState = Qt::WindowNoState;
    std::unique_ptr<CountView> m_countView;
    std::unique_ptr<LayoutPass> m_layoutPass;
};
