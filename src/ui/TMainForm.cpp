#include "ui/TMainForm.h"

#include "config/SettingsCatalogue.h"
#include "gatecontrol/DailySchedules.h"
#include "gatecontrol/GateControl.h"
#include "gatecontrol/GateSequence.h"
#include "platform/DataFolder.h"
#include "platform/ImageTint.h"
#include "platform/PathRules.h"
#include "platform/SystemClock.h"
#include "platform/WindowPlacement.h"
#include "reports/CountCsvOptions.h"
#include "reports/ReportMode.h"
#include "reports/ReportSettings.h"
#include "ui/CountCsvCommands.h"
#include "ui/CountLayoutRules.h"
#include "ui/CountView.h"
#include "ui/CountViewParts.h"
#include "ui/DialogPrompts.h"
#include "ui/GatePages.h"
#include "ui/LayoutPass.h"
#include "ui/MainFormSubsystems.h"
#include "ui/TProg.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QOperatingSystemVersion>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const Clock& clockOf(const StartupOptions& options)
{
    return options.clock ? *options.clock : SystemClock::instance();
}

} // namespace

TMainForm::TMainForm(const StartupOptions& options, QWidget* parent)
    : QMainWindow(parent), m_options(options), m_clock(clockOf(options)), m_subsystems(options.subsystems),
      m_prompts(options.prompts), m_counts(m_clock), m_ticks(m_clock), m_linkShared(m_clock)
{
    m_linkShared.sink = this;
    m_linkShared.host = this;
    if (!m_subsystems) {
        m_ownedSubsystems = std::make_unique<MainFormSubsystems>();
        m_subsystems = m_ownedSubsystems.get();
    }
    if (!m_prompts) {
        m_ownedPrompts = std::make_unique<DialogPrompts>();
        m_prompts = m_ownedPrompts.get();
    }
    setObjectName(QStringLiteral("MainForm"));
    buildWindow();
    FormCreate();
    // The progress window comes right after the main window, as the other windows do.
    m_progress = std::make_unique<TProg>();
    createCountCommands();
    createGateControl();
}

TMainForm::~TMainForm() = default;

void TMainForm::buildWindow()
{
    OuterPanel = new QFrame(this);
    OuterPanel->setObjectName(QStringLiteral("OuterPanel"));
    auto* outerLayout = new QVBoxLayout(OuterPanel);
    outerLayout->setContentsMargins(4, 4, 4, 4);
    PageControl1 = new QTabWidget(OuterPanel);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    outerLayout->addWidget(PageControl1, 1);
    m_pages = std::make_unique<GatePages>(PageControl1);
    buildLogPages();
    buildButtons();
    outerLayout->addWidget(m_buttonBar);
    setCentralWidget(OuterPanel);
    buildMenus();
    // Shown once the EEPROM watch has found a changed gate; a label, so that menu hints do not wipe it.
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    m_statusText = new QLabel(StatusBar1);
    m_statusText->setObjectName(QStringLiteral("StatusText"));
    StatusBar1->addWidget(m_statusText, 1);
    setStatusBar(StatusBar1);
    StatusBar1->hide();

    const std::pair<QTimer*, const char*> timers[] = {{&ConnectCheckTimer, "ConnectCheckTimer"},
                                                      {&CloseTimer, "CloseTimer"},
                                                      {&Timer1, "Timer1"},
                                                      {&Timer2, "Timer2"}};
    for (const auto& [timer, name] : timers) {
        timer->setObjectName(QString::fromLatin1(name));
        timer->setInterval(1);
    }
    Timer1.setSingleShot(true);
    connect(&ConnectCheckTimer, &QTimer::timeout, this, [this] { m_gateControl->sequence().ConnectCheckTimerTimer(); });
    connect(&CloseTimer, &QTimer::timeout, this, &TMainForm::CloseTimerTimer);
    connect(&Timer1, &QTimer::timeout, this, [this] { m_countView->Timer1Timer(); });
    connect(&Timer2, &QTimer::timeout, this, [this] { m_layoutPass->Timer2Timer(); });
}

void TMainForm::buildLogPages()
{
    TabSheetLog2 = new QWidget;
    TabSheetLog2->setObjectName(QStringLiteral("TabSheetLog2"));
    auto* tagLogLayout = new QVBoxLayout(TabSheetLog2);
    auto* tagLogGrid = new QTableWidget(20, 4, TabSheetLog2);
    tagLogGrid->setObjectName(QStringLiteral("TagLogGrid"));
    tagLogLayout->addWidget(tagLogGrid);
    PageControl1->addTab(TabSheetLog2, QStringLiteral("検知タグログ"));
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheetLog2), false);

    TabSheetLog = new QWidget;
    TabSheetLog->setObjectName(QStringLiteral("TabSheetLog"));
    auto* linkLogLayout = new QVBoxLayout(TabSheetLog);
    Memo1 = new QPlainTextEdit(TabSheetLog);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(&m_linkLog, &LinkLogModel::lineAppended, Memo1, &QPlainTextEdit::appendPlainText);
    connect(&m_linkLog, &LinkLogModel::cleared, Memo1, &QPlainTextEdit::clear);
    linkLogLayout->addWidget(Memo1);
    PageControl1->addTab(TabSheetLog, QStringLiteral("送受信ログ"));
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheetLog), false);
}

void TMainForm::buildButtons()
{
    m_buttonBar = new QWidget(OuterPanel);
    m_buttonBar->setObjectName(QStringLiteral("ButtonBar"));
    m_buttonBar->setFixedHeight(40);
    ConnectionPanel = new QFrame(m_buttonBar);
    ConnectionPanel->setObjectName(QStringLiteral("ConnectionPanel"));
    ConnectionPanel->setFixedSize(36, 36);
    auto* panelLayout = new QHBoxLayout(ConnectionPanel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    ConnectionImage = new QLabel(ConnectionPanel);
    ConnectionImage->setObjectName(QStringLiteral("ConnectionImage"));
    ConnectionImage->setScaledContents(true);
    panelLayout->addWidget(ConnectionImage);
    Gate1TagClearButton = new QPushButton(QStringLiteral("検知タグクリア(Del)"), m_buttonBar);
    Gate1TagClearButton->setObjectName(QStringLiteral("Gate1TagClearButton"));
    Gate1StopButton = new QPushButton(QStringLiteral("電波一時停止(Esc)"), m_buttonBar);
    Gate1StopButton->setObjectName(QStringLiteral("Gate1StopButton"));
    Gate1StopButton->setEnabled(false);
    EndButton = new QPushButton(QStringLiteral("終了"), m_buttonBar);
    EndButton->setObjectName(QStringLiteral("EndButton"));
    for (QPushButton* button : {Gate1TagClearButton, Gate1StopButton, EndButton})
        button->setFocusPolicy(Qt::NoFocus);
    connect(EndButton, &QPushButton::clicked, this, &QWidget::close);
}

void TMainForm::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("File1"));
    file->addAction(QStringLiteral("人数カウントCSV出力(&C)"))->setObjectName(QStringLiteral("CSVFileWrite"));
    XLSXE1 = file->addAction(QStringLiteral("人数カウントXLSX出力(&E)"));
    XLSXE1->setObjectName(QStringLiteral("XLSXE1"));
    QAction* save = file->addAction(QStringLiteral("現在の人数カウントを保存する(&S)"));
    save->setObjectName(QStringLiteral("S1"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, [this] {
        Write_PC_file();
        Write_DAY_file();
    });
    m_titleDatabaseMenu = file->addMenu(QStringLiteral("書名データベース(&B)"));
    m_titleDatabaseMenu->setObjectName(QStringLiteral("B1"));
    m_titleDatabaseMenu->addAction(QStringLiteral("エクスポート(CSV)出力(&B)"))->setObjectName(QStringLiteral("CSVB2"));
    QMenu* countDatabase = file->addMenu(QStringLiteral("人数カウントデータベース(&P)"));
    countDatabase->setObjectName(QStringLiteral("P1"));
    countDatabase->addAction(QStringLiteral("エクスポート(CSV)出力(&B)"))->setObjectName(QStringLiteral("CSVB3"));
    countDatabase->addAction(QStringLiteral("インポート(CSV)入力(&I)"))->setObjectName(QStringLiteral("CSV1"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("終了(&X)"));
    quit->setObjectName(QStringLiteral("N2"));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("H1"));
    G1 = help->addAction(QString());
    G1->setObjectName(QStringLiteral("G1"));
}

void TMainForm::FormCreate()
{
    m_closing = false;
    m_minimised = false;
    m_subsystems->createTitleList();
    ComponentInit(0);

    const auto os = QOperatingSystemVersion::current();
    m_osMajor = os.majorVersion();
    m_osMinor = os.minorVersion();

    setWindowTitle(QStringLiteral("WardaleCounter"));
    G1->setText(QStringLiteral("WardaleCounterについて(&A)"));

    if (!m_subsystems->xlsxReportAvailable())
        XLSXE1->setVisible(false);

    m_startTime = m_clock.now();
    m_connectionsDeferred = !m_options.networkReady({});

    locateDataFolder();
    m_countFiles = std::make_unique<CountFiles>(m_counts, m_clock, m_dataFolder, this);
    m_subsystems->createPluginRunner();
    loadImages();
    QFont tagFont = m_pages->page(0).tagGrid->font();
    tagFont.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    tagFont.setFixedPitch(true);
    m_startTime = m_clock.now();

    IniFileContext context;
    context.dataFolder = m_dataFolder;
    context.documentsFolder = m_documentsFolder;
    context.clock = &m_clock;
    ReadIniFile(m_settings, context, *this);
    m_counts.setBands(m_settings.startBand, m_settings.endBand);
    m_counts.setCountExits(m_settings.countExits);

    // Gates on this PC's loopback need no LAN, so they are not held back by a missing network.
    if (m_connectionsDeferred)
        m_connectionsDeferred = !networkReady();

    for (int slot = 0; slot < kSlots; ++slot)
        m_pages->page(slot).tagGrid->setFont(tagFont);
    if (m_settings.countOnly)
        applyCountOnlyLayout();
    setDialogFolders();
    placeWindow();
    completePages();
    createCountView();

    if (m_options.reportMode)
        runReportMode();
}

void TMainForm::runReportMode()
{
    // Days missing from the tables would be reported as days without visitors.
    if (!m_unreadCountFiles.isEmpty()) {
        m_reportError = QStringLiteral("no report written: ") + m_unreadCountFiles.join(QStringLiteral(", ")) +
                        QStringLiteral(" could not be read");
        return;
    }
    ReportMode::Arguments arguments;
    arguments.dateArgument = m_options.arguments.value(0);
    arguments.outputArgument = m_options.arguments.value(1);
    arguments.dataFolder = m_dataFolder;
    arguments.documentsFolder = m_documentsFolder;
    arguments.dialogFolder = m_saveFolder;
    arguments.workbook = ReportSettings::xlsx(m_settings);
    arguments.countOptions = ReportSettings::countCsv(m_settings);
    arguments.clock = &m_clock;
    const ReportMode::Result result = ReportMode::run(m_counts, arguments, m_reportRange);
    if (!result.ok)
        m_reportError = result.error;
}

void TMainForm::createCountView()
{
    CountViewParts parts;
    parts.settings = &m_settings;
    parts.clock = &m_clock;
    parts.counts = &m_counts;
    parts.pages = m_pages.get();
    parts.pageControl = PageControl1;
    parts.timer1 = &Timer1;
    parts.timer2 = &Timer2;
    parts.connectionImage = ConnectionImage;
    parts.digits = &m_digits;
    parts.comma = &m_comma;
    parts.connectionImages = &m_connectionImages;
    m_countView = std::make_unique<CountView>(parts, *this);
    m_layoutPass = std::make_unique<LayoutPass>(*m_countView, m_settings, PageControl1, Timer1, Timer2);
    m_counts.setViewHost(m_countView.get());
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int index) { m_countView->PageControl1Change(index, m_layoutPass->pending()); });
}

void TMainForm::pickTagFont(int gate, int aspectClass)
{
    m_subsystems->pickTagFont(gate, aspectClass);
}

void TMainForm::refreshTagGrid(int gate)
{
    m_subsystems->refreshTagGrid(gate);
}

void TMainForm::createCountCommands()
{
    CountCsvCommands::Hooks hooks;
    hooks.connectionCheckRunning = [this] { return ConnectCheckTimer.isActive(); };
    hooks.PageLabelSet = [this] { m_countView->PageLabelSet(PageControl1->currentIndex()); };
    hooks.requestLayoutPass = [this] {
        m_layoutPass->arm();
        Timer2.start();
    };
    m_csvCommands =
        std::make_unique<CountCsvCommands>(this, m_counts, m_clock, *m_progress, m_reportRange, hooks, this);
    m_csvCommands->reports().setOptions(ReportSettings::countCsv(m_settings));
    m_csvCommands->setDialogFolder(m_saveFolder);
    connect(findChild<QAction*>(QStringLiteral("CSVFileWrite")), &QAction::triggered, this,
            [this] { m_csvCommands->CSVFileWriteClick(m_settings.countOutputFileName); });
    m_csvCommands->setXlsxSettings(ReportSettings::xlsx(m_settings));
    connect(XLSXE1, &QAction::triggered, this, [this] { m_csvCommands->XLSXE1Click(m_settings.countOutputFileName); });
    connect(findChild<QAction*>(QStringLiteral("CSVB3")), &QAction::triggered, this, [this] {
        m_csvCommands->CSVB3Click(QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier));
    });
    connect(findChild<QAction*>(QStringLiteral("CSV1")), &QAction::triggered, this,
            [this] { m_csvCommands->CSV1Click(); });
}

void TMainForm::locateDataFolder()
{
    m_documentsFolder = m_options.documentsFolder.isEmpty() ? DataFolder::documentsFolder() : m_options.documentsFolder;
    if (!m_options.dataFolderOverride.isEmpty()) {
        m_dataFolder = PathRules::toNative(QDir(m_options.dataFolderOverride).absolutePath());
        QDir().mkpath(m_dataFolder);
        return;
    }
    m_dataFolder = DataFolder::locate(m_options.programFolder, qEnvironmentVariable("APPDATA"),
                                      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

void TMainForm::loadImages()
{
    // The pictures are tinted later, once the window colour is known from the settings.
    for (int k = 0; k < 10; ++k)
        m_digits[k] =
            QImage(QStringLiteral(":/BMPF/BMPDT") + QString::number(k)).convertToFormat(QImage::Format_RGB888);
    m_comma = QImage(QStringLiteral(":/BMPF/BMPDTC")).convertToFormat(QImage::Format_RGB888);
}

void TMainForm::applyCountOnlyLayout()
{
    Gate1TagClearButton->hide();
    Gate1StopButton->hide();
    m_titleDatabaseMenu->menuAction()->setVisible(false);
    for (int slot = 0; slot < kSlots; ++slot)
        m_pages->applyCountOnly(slot);
    alignButtons();
}

void TMainForm::setDialogFolders()
{
    const QString folder = PathRules::outputFolder(m_settings.countOutputFolder, m_dataFolder);
    m_saveFolder = folder;
    m_openFolder = folder;
    // An empty folder setting names no folder, so it also falls back.
    if (m_openFolder.isEmpty() || !QDir(m_openFolder).exists()) {
        const QString fallback = m_documentsFolder.isEmpty()
                                     ? PathRules::join(m_dataFolder, m_settings.countOutputFolder)
                                     : m_documentsFolder;
        m_saveFolder = fallback;
        m_openFolder = fallback;
    }
}

void TMainForm::placeWindow()
{
    QList<QRect> workAreas;
    for (const QScreen* screen : QGuiApplication::screens())
        workAreas << screen->availableGeometry();
    const QRect bounds(pos(), size());
    const QPoint corner = WindowPlacement::place(bounds, workAreas);
    if (corner != bounds.topLeft())
        move(corner);
}

void TMainForm::completePages()
{
    for (int slot = 0; slot < kSlots; ++slot) {
        const auto& gate = m_settings.gates[slot];
        m_pages->completePage(slot, gate.name, gate.shortName, m_settings.colours.evenBackground);
    }
    const quint32 windowColour = m_settings.colours.windowBackground;
    for (auto& digit : m_digits)
        digit = tintGreys(digit, windowColour);
    m_comma = tintGreys(m_comma, windowColour);
    for (int kind = 0; kind < 3; ++kind)
        m_connectionImages[kind] = loadTinted(QStringLiteral(":/BMPF/BMPDTC") + QString::number(kind), windowColour);
    ConnectionImage->setPixmap(QPixmap::fromImage(m_connectionImages[1]));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, CountLayoutRules::toColor(windowColour));
    palette.setColor(QPalette::WindowText, CountLayoutRules::toColor(m_settings.colours.windowText));
    setPalette(palette);
    setMinimumSize(350, 520);
}
