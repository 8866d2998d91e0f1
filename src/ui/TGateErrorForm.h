#pragma once

#include <QColor>
#include <QDialog>
#include <QTimer>

#include <functional>

class QImage;
class QLabel;
class QPushButton;

// "接続エラー": lists the gates that are not connected. It stays in front of every window until the
// operator closes it; closing hands over to the supervision, which takes the listed gates as
// acknowledged and restarts their connection timers.
class TGateErrorForm final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kPictureSize = 128;
    static constexpr int kFrontIntervalMs = 1;

    // picture: the main window's disconnected-gate image; onClose runs once per close.
    TGateErrorForm(const QImage& picture, const QColor& background, const QColor& text, std::function<void()> onClose,
                   QWidget* mainWindow);
    Q_DISABLE_COPY_MOVE(TGateErrorForm)

    void setMessage(const QString& text, int fontSize);
    QString message() const;
    int messageFontSize() const;
    // Centres the window on the main window, shows it and starts bringing it to the front.
    void showCentred();
    // The sequence's close once no gate is left to list. A window the operator already closed hands
    // over again, so that gates that came back meanwhile no longer count as acknowledged.
    void closeWindow();
    bool isClosed() const { return m_closed; }

    QTimer& frontTimer() { return m_frontTimer; }

public slots:
    void done(int result) override;

private slots:
    void FrontTimerTimer();

private:
    std::function<void()> m_onClose;
    QLabel* Image1;
    QLabel* Label1;
    QPushButton* CloseButton;
    QTimer m_frontTimer;
    bool m_closed = true;
};
