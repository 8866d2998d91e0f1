#include "ui/TMainForm.h"

#include "gatecontrol/ConnectionSupervisor.h"
#include "gatecontrol/GateControl.h"
#include "gatecontrol/GateControlContext.h"
#include "gatecontrol/GateSequence.h"
#include "gatelink/TTComXDlg.h"
#include "ui/CountLayoutRules.h"
#include "ui/CountView.h"
#include "ui/MainFormSubsystems.h"
#include "ui/TGateErrorForm.h"
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

int TMainForm::shownGate() const
{
    return m_countView->shownGate();
}

bool TMainForm::TCPIPOpen(int slot)
{
    const bool confirmed = TSetTCPIPDlg::TCPIPOpen(this, m_tcpipPara, m_settings.autoReconnect, slot,
                                                   [this, slot] { m_gateControl->supervisor().restartSlot(slot); });
    if (confirmed) {
        // The settings file keeps what the dialog changed.
        GateSlotSettings& gate = m_settings.gates[slot];
        const TcpIpParaEntry& gateEntry = m_tcpipPara.entry(tagTCPIPPara::GateRow, slot);
        gate.ipAddress = gateEntry.address;
        gate.port = gateEntry.port;
        gate.relayPort = m_tcpipPara.entry(tagTCPIPPara::RelayRow, slot).port;
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
    if (m_errorForm && m_errorForm->isVisible())
        m_errorForm->close();
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
