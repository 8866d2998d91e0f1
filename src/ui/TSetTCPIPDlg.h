#pragma once

#include "ui/LanSettingsFields.h"

#include <QDialog>

#include <array>
#include <functional>

class LanSettingsModel;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSpinBox;
struct tagTCPIPPara;

// "LAN接続の設定": the gate's address and port, the relay port and the reconnect switch of one gate
// slot. The dialog only shows and collects the fields; LanSettingsModel stores them.
class TSetTCPIPDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit TSetTCPIPDlg(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TSetTCPIPDlg)

    void load(const LanSettingsFields& fields);
    LanSettingsFields fields() const;

    // Fills the dialog for gate slot `slot`, shows it modally and on OK stores the values and calls
    // `restart` once; true when the operator confirmed with OK.
    static bool TCPIPOpen(QWidget* parent, tagTCPIPPara& para, bool& autoReconnect, int slot,
                          const std::function<void()>& restart);
    static bool TCPIPOpen(QWidget* parent, LanSettingsModel& model);

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void RadioGroup1Click();

private:
    QSpinBox* numberEdit(const QString& name, int maximum);

    std::array<QSpinBox*, 4> m_addressEdits{};
    QSpinBox* EdTCPServPort;
    QSpinBox* EdTCPPort;
    QCheckBox* AutoReConnectCheckBox;
    QGroupBox* RadioGroup1;
    QRadioButton* m_clientButton;
    QRadioButton* m_serverButton;
    QGroupBox* m_addressGroup;
    QGroupBox* m_relayGroup;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    // The address parts as loaded: a part the operator did not change gives back the stored text, so a
    // host name or a missing part survives an OK.
    std::array<QString, 4> m_loadedAddress;
    std::array<bool, 4> m_addressEdited{};
    // Parts that are not a number 0..255 are shown empty.
    std::array<bool, 4> m_addressBlank{};
};
