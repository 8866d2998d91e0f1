#pragma once

#include "platform/ProgressSink.h"

#include <QWidget>

class QProgressBar;

// The progress window of long exports and imports: stay-on-top, disabled, 452 x 15, range 0..100.
class TProg final : public QWidget, public ProgressSink
{
    Q_OBJECT

public:
    explicit TProg(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TProg)

    void ProgOpen(const QString& caption) override;
    void ProgMax(int max) override;
    void ProgMin(int min) { m_min = min; }
    void ProgPosition(int position) override;
    void ProgClose() override;
    void keepAlive() override;

    int scaledPosition() const;

private:
    QProgressBar* m_bar;
    int m_max = 100;
    int m_min = 0;
};
