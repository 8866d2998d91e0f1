#include "ui/TRfStopFrom.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TRfStopFrom::TRfStopFrom(int seconds, PausedGate gate, QWidget* parent)
    : QDialog(parent), m_gate(std::move(gate)), m_remaining(seconds)
{
    setObjectName(QStringLiteral("RfStopFrom"));
    setWindowTitle(QStringLiteral("電波処理"));
    setModal(true);

    m_stopLabel = new QLabel(QStringLiteral("停止中"), this);
    m_stopLabel->setObjectName(QStringLiteral("StopLabel"));
    QFont large = m_stopLabel->font();
    large.setPointSize(36);
    large.setBold(true);
    m_stopLabel->setFont(large);
    QPalette red = m_stopLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_stopLabel->setPalette(red);
    m_stopLabel->setAlignment(Qt::AlignCenter);

    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("CountLabel"));
    m_countLabel->setAlignment(Qt::AlignCenter);

    m_resumeButton = new QPushButton(QStringLiteral("再開"), this);
    m_resumeButton->setObjectName(QStringLiteral("ResumeButton"));
    QFont buttonFont = m_resumeButton->font();
    buttonFont.setPointSize(24);
    m_resumeButton->setFont(buttonFont);
    m_resumeButton->setMinimumHeight(64);
    m_resumeButton->setDefault(true);
    connect(m_resumeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_stopLabel);
    layout->addWidget(m_countLabel);
    layout->addWidget(m_resumeButton);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kTickMs);
    connect(&Timer1, &QTimer::timeout, this, &TRfStopFrom::Timer1Timer);

    if (m_gate.pause)
        m_gate.pause();
    m_countLabel->setText(countdownText(m_remaining));
    m_resumeButton->setFocus();
    Timer1.start();
}

QString TRfStopFrom::countdownText(int seconds)
{
    return (seconds < 10 ? QStringLiteral("あと ") : QStringLiteral("あと")) + QString::number(seconds) +
           QStringLiteral("秒で再開します");
}

QString TRfStopFrom::countdown() const
{
    return m_countLabel->text();
}

void TRfStopFrom::Timer1Timer()
{
    if (--m_remaining <= 0) {
        accept();
        return;
    }
    m_countLabel->setText(countdownText(m_remaining));
}

// Every way of closing ends the pause, once.
void TRfStopFrom::done(int result)
{
    Timer1.stop();
    if (!m_resumed) {
        m_resumed = true;
        if (m_gate.resume)
            m_gate.resume();
    }
    QDialog::done(result);
}

// Esc (and the window's close box) only once the gate has finished its pause commands.
void TRfStopFrom::reject()
{
    if (m_gate.step && m_gate.step() > kLastQuietStep)
        return;
    QDialog::reject();
}
