#include "ui/TSetTCPIPDlg.h"

#include "ui/LanSettingsModel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TSetTCPIPDlg::TSetTCPIPDlg(QWidget* parent)
    : QDialog(parent), EdTCPServPort(numberEdit(QStringLiteral("EdTCPServPort"), LanSettingsModel::kPortMax)),
      EdTCPPort(numberEdit(QStringLiteral("EdTCPPort"), LanSettingsModel::kPortMax)),
      AutoReConnectCheckBox(new QCheckBox(QStringLiteral("自動再接続(ゲート切断時に自動的に再接続を行います)"), this)),
      RadioGroup1(new QGroupBox(QStringLiteral("動作モード"), this)),
      m_clientButton(new QRadioButton(QStringLiteral("クライアント"), RadioGroup1)),
      m_serverButton(new QRadioButton(QStringLiteral("サーバー"), RadioGroup1)),
      m_addressGroup(new QGroupBox(QStringLiteral("ゲートのIPアドレス及びポート番号の設定"), this)),
      m_relayGroup(new QGroupBox(QStringLiteral("中継用のポート番号の設定"), this)),
      OKBtn(new QPushButton(QStringLiteral("設定"), this)),
      CancelBtn(new QPushButton(QStringLiteral("キャンセル"), this))
{
    setObjectName(QStringLiteral("SetTCPIPDlg"));
    setWindowTitle(QStringLiteral("LAN接続の設定"));

    auto* addressRow = new QHBoxLayout;
    for (std::size_t i = 0; i < m_addressEdits.size(); ++i) {
        if (i > 0)
            addressRow->addWidget(new QLabel(QStringLiteral("："), m_addressGroup));
        m_addressEdits[i] = numberEdit(QStringLiteral("EdTCPIP1_%1").arg(i + 1), LanSettingsModel::kAddressPartMax);
        addressRow->addWidget(m_addressEdits[i]);
        connect(m_addressEdits[i], &QSpinBox::valueChanged, this, [this, i] { m_addressEdited[i] = true; });
    }
    auto* addressGrid = new QGridLayout(m_addressGroup);
    addressGrid->addWidget(new QLabel(QStringLiteral("ゲートのアドレス"), m_addressGroup), 0, 0);
    addressGrid->addLayout(addressRow, 0, 1);
    addressGrid->addWidget(new QLabel(QStringLiteral("ポート番号"), m_addressGroup), 1, 0);
    addressGrid->addWidget(EdTCPServPort, 1, 1, Qt::AlignLeft);

    auto* relayRow = new QHBoxLayout(m_relayGroup);
    relayRow->addWidget(new QLabel(QStringLiteral("ポート番号"), m_relayGroup));
    relayRow->addWidget(EdTCPPort);
    relayRow->addStretch();

    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* modeRow = new QHBoxLayout(RadioGroup1);
    modeRow->addWidget(m_clientButton);
    modeRow->addWidget(m_serverButton);
    // Only client mode is offered: the program always connects to its gates.
    RadioGroup1->hide();
    connect(m_clientButton, &QRadioButton::toggled, this, &TSetTCPIPDlg::RadioGroup1Click);

    AutoReConnectCheckBox->setObjectName(QStringLiteral("AutoReConnectCheckBox"));
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addWidget(m_addressGroup);
    layout->addWidget(m_relayGroup);
    layout->addWidget(AutoReConnectCheckBox);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QSpinBox* TSetTCPIPDlg::numberEdit(const QString& name, int maximum)
{
    auto* edit = new QSpinBox(this);
    edit->setObjectName(name);
    edit->setRange(0, maximum);
    edit->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    return edit;
}

void TSetTCPIPDlg::load(const LanSettingsFields& fields)
{
    m_clientButton->setChecked(!fields.server);
    m_serverButton->setChecked(fields.server);
    RadioGroup1Click();
    EdTCPServPort->setValue(fields.gatePort);
    EdTCPPort->setValue(fields.relayPort);
    for (std::size_t i = 0; i < m_addressEdits.size(); ++i) {
        QSpinBox* edit = m_addressEdits[i];
        bool number = false;
        const int value = fields.address[i].toInt(&number);
        m_addressBlank[i] = !number || value < 0 || value > LanSettingsModel::kAddressPartMax;
        edit->setValue(m_addressBlank[i] ? 0 : value);
        if (m_addressBlank[i])
            edit->findChild<QLineEdit*>()->clear();
        m_loadedAddress[i] = fields.address[i];
        m_addressEdited[i] = false;
    }
    AutoReConnectCheckBox->setChecked(fields.autoReconnect);
}

LanSettingsFields TSetTCPIPDlg::fields() const
{
    LanSettingsFields fields;
    fields.server = m_serverButton->isChecked();
    fields.gatePort = EdTCPServPort->value();
    fields.relayPort = EdTCPPort->value();
    for (std::size_t i = 0; i < m_addressEdits.size(); ++i)
        fields.address[i] = m_addressEdited[i] ? QString::number(m_addressEdits[i]->value()) : m_loadedAddress[i];
    fields.autoReconnect = AutoReConnectCheckBox->isChecked();
    return fields;
}

void TSetTCPIPDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Showing a number edit puts its value back into the text; blank parts stay blank.
    for (std::size_t i = 0; i < m_addressEdits.size(); ++i)
        if (m_addressBlank[i] && !m_addressEdited[i])
            m_addressEdits[i]->findChild<QLineEdit*>()->clear();
}

void TSetTCPIPDlg::RadioGroup1Click()
{
    const bool client = m_clientButton->isChecked();
    m_addressGroup->setEnabled(client);
    m_relayGroup->setVisible(client);
}

bool TSetTCPIPDlg::TCPIPOpen(QWidget* parent, LanSettingsModel& model)
{
    TSetTCPIPDlg dialog(parent);
    dialog.OKBtn->setText(QStringLiteral("接続"));
    dialog.load(model.open());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    model.accept(dialog.fields());
    return true;
}

bool TSetTCPIPDlg::TCPIPOpen(QWidget* parent, tagTCPIPPara& para, bool& autoReconnect, int slot,
                             const std::function<void()>& restart)
{
    LanSettingsModel model(para, autoReconnect, slot, restart);
    return TCPIPOpen(parent, model);
}
