#include "ui/TProg.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

#include <cmath>

TProg::TProg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("Prog"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    setFixedSize(452, 15);
    setEnabled(false);
}

void TProg::ProgOpen(const QString& caption)
{
    setWindowTitle(caption);
    if (isVisible())
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    show();
    // Centred horizontally with the bottom edge at the middle of the screen (frame included).
    const QRect frame = frameGeometry();
    move(area.left() + (area.width() - frame.width()) / 2, area.top() + area.height() / 2 - frame.height());
    raise();
}

void TProg::ProgMax(int max)
{
    m_max = max;
}

int TProg::scaledPosition() const
{
    return m_bar->value();
}

void TProg::ProgPosition(int position)
{
    const int scaled = m_max == 0 ? 0 : static_cast<int>(std::nearbyint(100.0 / m_max * position));
    if (!isVisible() && scaled != 0)
        return;
    if (scaled != m_bar->value())
        m_bar->setValue(scaled);
}

void TProg::ProgClose()
{
    hide();
    move(x(), -3000);
}

void TProg::keepAlive()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // Nothing pending: yield briefly instead of spinning while an export waits out its minimum display.
    QThread::msleep(5);
}
