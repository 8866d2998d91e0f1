#include "ui/TMainForm.h"

#include "config/SettingsCatalogue.h"
#include "gatecontrol/ConnectionSupervisor.h"
#include "gatecontrol/DailySchedules.h"
#include "gatecontrol/GateControl.h"
#include "gatelink/TTComXDlg.h"
#include "platform/Clock.h"
#include "platform/WindowPlacement.h"
#include "reports/CountReports.h"
#include "reports/ExitCsv.h"
#include "ui/CountCsvCommands.h"
#include "ui/CountView.h"
#include "ui/GatePages.h"
#include "ui/LayoutPass.h"
#include "ui/MainFormPrompts.h"
#include "ui/MainFormSubsystems.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QWindow>

void TMainForm::ComponentInit(int slot)
{
    m_pages->ComponentInit(slot);
}

void TMainForm::applyWindowGeometry(const WindowGeometry& geometry)
{
    // Left and top are the corner of the whole window, frame and title bar included, as they are saved:
    // move() on a window that is not on screen yet asks the window manager to put the frame there.
    resize(std::max(geometry.width, 350), std::max(geometry.height, 520));
    move(geometry.left, geometry.top);
    if (geometry.maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
}

WindowGeometry TMainForm::currentWindowGeometry() const
{
    const QRect frame = frameGeometry();
    WindowGeometry geometry;
    geometry.left = frame.left();
    geometry.top = frame.top();
    geometry.width = width();
    geometry.height = height();
    geometry.maximised = isMaximized();
    return geometry;
}

void TMainForm::Read_PC_file()
{
    // The day records the loaded event log covers are rebuilt with the bands and direction of these settings.
    m_counts.setBands(m_settings.startBand, m_settings.endBand);
    m_counts.setCountExits(m_settings.countExits);
    noteUnreadCountFile(m_countFiles->eventFilePath(), m_countFiles->Read_PC_file());
}

void TMainForm::emptyEventLog()
{
    m_countFiles->emptyEventLog();
}

void TMainForm::Read_DAY_file()
{
    noteUnreadCountFile(m_countFiles->dayFilePath(), m_countFiles->Read_DAY_file());
}

void TMainForm::noteUnreadCountFile(const QString& path, const CountFileLoad& load)
{
    if (load.outcome == CountFileLoad::Outcome::Damaged || load.outcome == CountFileLoad::Outcome::Ignored)
        m_unreadCountFiles << QStringLiteral("%1 (%2)").arg(path, load.detail);
}

void TMainForm::Write_PC_file()
{
    m_countFiles->Write_PC_file();
}

void TMainForm::Write_DAY_file()
{
    m_countFiles->Write_DAY_file();
}

bool TMainForm::gateConnected(int slot) const
{
    return m_links[slot] && m_links[slot]->isConnected();
}

QString TMainForm::gateName(int gate) const
{
    return gate >= 0 && gate < kSlots ? m_settings.gates[gate].name : QString();
}

void TMainForm::ShowFatalConnectionError(const QString& caption, const QString& text)
{
    m_fatalError = true;
    m_prompts->showError(this, caption, text);
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TMainForm::CountValuesReceived(int gate, const CountRecord& record)
{
    m_counts.CountValuesReceived(gate, record);
}

void TMainForm::CountBlocksReceived(int gate, const CountRecord& record, int blocks)
{
    m_counts.CountBlocksReceived(gate, record, blocks);
}

void TMainForm::TagDetected(int gate, const TagReport& report)
{
    if (!m_closing)
        m_subsystems->TagDetected(gate, report);
}

void TMainForm::createLinks()
{
    m_linkShared.connectionsDeferred = m_connectionsDeferred;
    m_linkShared.eeprom = m_settings.eeprom;
    m_linkShared.dataFolder = m_dataFolder;
    for (int slot = 0; slot < kSlots; ++slot) {
        auto* gateLink = new TTComXDlg(m_linkShared, slot, this);
        auto* relayLink = new TTComXDlg(m_linkShared, kSlots + slot, this);
        m_links[slot] = gateLink;
        m_links[kSlots + slot] = relayLink;
        connect(&gateLink->eepromWatch(), &EepromWatch::statusText, this, [this](const QString& text) {
            m_statusText->setText(text);
            StatusBar1->show();
        });
        const GateSlotSettings& gate = m_settings.gates[slot];
        if (!gate.active())
            continue;
        TcpIpParaEntry& gateEntry = m_tcpipPara.entry(tagTCPIPPara::GateRow, slot);
        gateEntry = TcpIpParaEntry{slot, false, static_cast<quint16>(gate.port), gate.ipAddress};
        TcpIpParaEntry& relayEntry = m_tcpipPara.entry(tagTCPIPPara::RelayRow, slot);
        relayEntry =
            TcpIpParaEntry{kSlots + slot, true, static_cast<quint16>(gate.relayPort), QStringLiteral("127.0.0.1")};
        gateLink->LinkInit(&m_linkLog, slot, false, gateEntry, TTComXDlg::TcpIp);
        relayLink->LinkInit(&m_linkLog, slot, true, relayEntry, TTComXDlg::TcpIp);
        gateLink->setCountFilter(m_settings.countFilter);
        relayLink->setCountFilter(m_settings.countFilter);
        m_ticks.TickMark(TickTable::kReply + slot);
        m_ticks.TickMark(TickTable::kConnection + slot);
    }
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    const QScreen* screen = this->screen();
    const double x = screen ? screen->logicalDotsPerInchX() / 96.0 : 1.0;
    const double y = screen ? screen->logicalDotsPerInchY() / 96.0 : 1.0;
    m_scaleX = x > 1 ? 1 / x : 1;
    if (y > 1) {
        m_scaleX = 1 / y;
        m_scaleY = y;
    } else {
        m_scaleY = 1;
    }

    createLinks();
    if (!m_settings.countOnly)
        m_subsystems->RefreshTitleDatabase();
    ConnectCheckTimer.setInterval(m_connectionsDeferred ? 1000 : 1);
    ConnectCheckTimer.start();
    m_countFiles->startBackUpTimer(m_settings.backupIntervalMinutes);
    setAcceptDrops(!m_settings.countOnly);
    m_schedules->start();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    m_closed = true;
    event->accept();
}

void TMainForm::closeWithoutQuestion()
{
    m_skipQuestion = true;
    close();
}

bool TMainForm::FormCloseQuery()
{
    if (CloseTimer.isActive())
        return m_shutdownComplete;
    if (!m_fatalError && !m_skipQuestion && !m_prompts->confirmClose(this, windowTitle()))
        return false;
    if (!m_gateControl->sequence().startShutdown())
        return true;
    m_shutdownComplete = false;
    CloseTimer.start();
    return false;
}

void TMainForm::CloseTimerTimer()
{
    if (m_shutdownComplete)
        return;
    m_shutdownComplete = m_gateControl->sequence().shutdownFinished();
    if (m_shutdownComplete)
        close();
}

void TMainForm::FormClose()
{
    m_closing = true;
    m_counts.setClosing(true);
    for (QTimer* timer : {&m_gateControl->supervisor().severReconnectTimer(), &Timer1, &Timer2, &CloseTimer,
                          &ConnectCheckTimer, m_countFiles->backUpTimer()})
        timer->stop();
    if (m_settings.eeprom.logBeforeClear)
        m_schedules->writeEepromLogs();
    IniFileContext context;
    context.dataFolder = m_dataFolder;
    context.documentsFolder = m_documentsFolder;
    context.clock = &m_clock;
    WriteIniFile(m_settings, context, *this);
    writeExitCsv();
}

void TMainForm::writeExitCsv()
{
    const ExitCsv::Plan plan =
        ExitCsv::plan(m_settings.exitCsv, m_saveFolder, m_settings.countOutputFileName, m_prompts->shiftHeld());
    if (!plan.write)
        return;
    ExitCsv::applyRange(m_reportRange, m_clock.now(), m_settings.exitCsvRange);
    const QString path = plan.askForPath ? m_prompts->exitCsvSavePath(this, plan.path) : plan.path;
    if (!path.isEmpty())
        m_csvCommands->reports().ExportCountFile(path);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_minimised = isMinimized();
}

void TMainForm::FormResize()
{
    // Resizes while the window is still being built come before the count display exists.
    if (!m_countView)
        return;
    if (!m_layoutPass->pending()) {
        Timer1.stop();
        Timer2.stop();
    }
    const Qt::WindowStates state = windowState();
    if (state != m_lastState && !isMinimized()) {
        m_layoutPass->arm();
    }
    const int active = PageControl1->currentIndex();
    if (active == kLogTagPage || active == kLinkLogPage)
        return;
    m_lastState = state;
    Timer1.stop();
    Timer2.stop();
    if (!m_settings.countOnly && m_settings.fitLayout && state == Qt::WindowNoState) {
        const QSize shaped = WindowPlacement::keepShape(size());
        if (shaped != size())
            resize(shaped);
    }
    alignButtons();
    m_countView->allowForcedPasses();
    m_countView->GraphView();
    Timer1.start();
    Timer2.start();
}

void TMainForm::alignButtons()
{
    // The outer panel fills the client area, so its width is the window's even before it is laid out.
    const int width = this->width() - 2 * OuterPanel->layout()->contentsMargins().left();
    const int top = (m_buttonBar->height() - EndButton->sizeHint().height()) / 2;
    EndButton->resize(EndButton->sizeHint());
    Gate1StopButton->resize(Gate1StopButton->sizeHint());
    Gate1TagClearButton->resize(Gate1TagClearButton->sizeHint());
    EndButton->move(width - EndButton->width() - 10, top);
    Gate1StopButton->move(EndButton->x() - 8 - Gate1StopButton->width(), top);
    Gate1TagClearButton->move(Gate1StopButton->x() - 8 - Gate1TagClearButton->width(), top);
    const int panelTop = (m_buttonBar->height() - ConnectionPanel->height()) / 2;
    if (m_settings.countOnly)
        ConnectionPanel->move(EndButton->x() - 8 - ConnectionPanel->width(), panelTop);
    else
        ConnectionPanel->move(Gate1TagClearButton->x() - 8 - ConnectionPanel->width(), panelTop);
}
