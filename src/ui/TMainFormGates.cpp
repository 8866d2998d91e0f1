#include "ui/TMainForm.h"

#include "gatecontrol/ConnectionSupervisor.h"
#include "gatecontrol/DailySchedules.h"
#include "gatecontrol/GateControl.h"
#include "gatecontrol/GateControlContext.h"
#include "gatecontrol/GateSequence.h"
#include "gatelink/TTComXDlg.h"
#include "ui/CountCsvCommands.h"
#include "ui/CountLayoutRules.h"
#include "ui/CountView.h"
#include "ui/MainFormSubsystems.h"
#include "ui/TGateErrorForm.h"
#include "ui/TRfStopFrom.h"
#include "ui/TSetTCPIPDlg.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

void TMainForm::createGateControl()
{
    const GateControlContext context{m_settings, m_tcpipPara, m_linkShared,      m_sequence, m_ticks,
                                     m_counts,   *this,       ConnectCheckTimer, CloseTimer};
    m_gateControl = std::make_unique<GateControl>(context, m_clock, this);
    m_schedules = std::make_unique<DailySchedules>(m_linkShared, m_linkLog, m_settings);

    connect(Gate1StopButton, &QPushButton::clicked, this, &TMainForm::Gate1StopButtonClick);
    auto* pauseShortcut = new QShortcut(this);
    pauseShortcut->setKeys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::SHIFT | Qt::Key_Escape),
                            QKeySequence(Qt::CTRL | Qt::Key_Escape),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Escape)});
    connect(pauseShortcut, &QShortcut::activated, this, [this] {
        // The pause window is modal, so the guard stays set while it is open.
        if (m_keyGuard)
            return;
        m_keyGuard = true;
        if (!m_settings.countOnly && Gate1StopButton->isEnabled())
            Gate1StopButtonClick();
        m_keyGuard = false;
    });

    auto* lanShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q), this);
    lanShortcut->setContext(Qt::ApplicationShortcut);
    connect(lanShortcut, &QShortcut::activated, this, [this] {
        // The dialog is modal, so the guard stays set while it is open.
        if (m_keyGuard)
            return;
        m_keyGuard = true;
        TCPIPOpen(shownGate());
        m_keyGuard = false;
    });
    ConnectionImage->installEventFilter(this);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ConnectionImage) {
        if (event->type() == QEvent::MouseButtonPress) {
            ConnectionPanel->setFrameShadow(QFrame::Sunken);
            ConnectionPanel->setFrameShape(QFrame::Panel);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            ConnectionPanel->setFrameShape(QFrame::NoFrame);
            if (activeGateSlot() >= 0)
                m_gateControl->supervisor().ConnectionImageClick();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Gate1StopButtonClick()
{
    const int slot = activeGateSlot();
    if (slot < 0)
        return;
    GateSequence& sequence = m_gateControl->sequence();
    TRfStopFrom form(m_settings.rfPauseSeconds,
                     {[this, slot] { return m_sequence[static_cast<std::size_t>(slot)].step; },
                      [&sequence, slot] { sequence.startRfPause(slot); },
                      [&sequence, slot] { sequence.startRfResume(slot); }},
                     this);
    form.exec();
}

int TMainForm::shownGate() const
{
    return m_countView->shownGate();
}

bool TMainForm::TCPIPOpen(int slot)
{
    const bool confirmed = TSetTCPIPDlg::TCPIPOpen(this, m_tcpipPara, m_settings.autoReconnect, slot,
                                                   [this, slot] { m_gateControl->supervisor().restartSlot(slot); });
    if (confirmed) {
        // The settings file and the count exports keep what the dialog changed.
        GateSlotSettings& gate = m_settings.gates[slot];
        const TcpIpParaEntry& gateEntry = m_tcpipPara.entry(tagTCPIPPara::GateRow, slot);
        gate.ipAddress = gateEntry.address;
        gate.port = gateEntry.port;
        gate.relayPort = m_tcpipPara.entry(tagTCPIPPara::RelayRow, slot).port;
        m_csvCommands->reports().setGateAddress(slot, gate.ipAddress);
    }
    return confirmed;
}

bool TMainForm::tagViewBusy() const
{
    return m_subsystems->tagViewBusy();
}

bool TMainForm::buzzerRunning() const
{
    return m_subsystems->buzzerRunning();
}

void TMainForm::restartGridUpdateTimer()
{
    m_subsystems->restartGridUpdateTimer();
}

void TMainForm::markAlarmsHandled(int slot)
{
    m_subsystems->markAlarmsHandled(slot);
}

int TMainForm::alarmSelector(int slot) const
{
    return m_subsystems->alarmSelector(slot);
}

int TMainForm::activeGateSlot() const
{
    const int index = PageControl1->currentIndex();
    return index >= 0 && index < kSlots ? index : -1;
}

bool TMainForm::rfPauseButtonEnabled() const
{
    return Gate1StopButton->isEnabled();
}

void TMainForm::setRfPauseButtonEnabled(bool enabled)
{
    Gate1StopButton->setEnabled(enabled);
}

void TMainForm::GateTabCaptionSet(int slot)
{
    m_countView->GateTabCaptionSet(slot);
}

void TMainForm::showConnectionError(const QString& text, int pointSize)
{
    if (!m_errorForm) {
        m_errorForm = new TGateErrorForm(
            m_connectionImages[1], CountLayoutRules::toColor(m_settings.colours.windowBackground),
            CountLayoutRules::toColor(m_settings.colours.windowText),
            [this] { m_gateControl->supervisor().errorWindowClosed(); }, this);
    }
    const bool wasShowing = m_errorForm->isVisible();
    m_errorForm->setMessage(text, pointSize);
    if (!wasShowing)
        m_errorForm->showCentred();
}

void TMainForm::closeConnectionError()
{
    if (m_errorForm)
        m_errorForm->closeWindow();
}

QStringList TMainForm::activeGateAddresses() const
{
    QStringList addresses;
    for (const auto& gate : m_settings.gates)
        if (gate.active())
            addresses << gate.ipAddress;
    return addresses;
}

bool TMainForm::networkReady()
{
    return m_options.networkReady(activeGateAddresses());
}

void TMainForm::recreateLinks()
{
    for (TTComXDlg*& link : m_links) {
        if (link)
            link->deleteLater();
        link = nullptr;
    }
    m_connectionsDeferred = false;
    createLinks();
}
