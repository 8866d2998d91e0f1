#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

class QLabel;
class QPushButton;

// "電波処理": the RF pause of the gate on the active page. Creating it moves that gate to its pause steps;
// closing it (the button "再開", Esc once the pause commands are done, or the countdown reaching 0)
// moves the gate to its resume steps. Shown modally; the main window's timers keep running meanwhile,
// so the sequence sends the commands while it is open.
class TRfStopFrom final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kTickMs = 1000;
    // The last step at which the pause commands are done and Esc may end the pause.
    static constexpr int kLastQuietStep = 32;

    // What the window does to the paused gate: its step now, and the two moves.
    struct PausedGate
    {
        std::function<int()> step;
        std::function<void()> pause;
        std::function<void()> resume;
    };

    TRfStopFrom(int seconds, PausedGate gate, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TRfStopFrom)

    // "あと12秒で再開します", with a half-width space before a single digit: "あと 9秒で再開します".
    static QString countdownText(int seconds);

    void Timer1Timer();
    int remaining() const { return m_remaining; }
    QString countdown() const;
    QTimer& timer1() { return Timer1; }

public slots:
    void done(int result) override;
    void reject() override;

private:
    PausedGate m_gate;
    int m_remaining;
    bool m_resumed = false;
    QTimer Timer1;
    QLabel* m_stopLabel = nullptr;
    QLabel* m_countLabel = nullptr;
    QPushButton* m_resumeButton = nullptr;
};
