#pragma once

#include "support/TempFolder.h"

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>

#include <optional>

struct xcb_connection_t;

// Where a window manager put a program's top-level window: its frame on the screen and the
// corner of the program's own (client) area inside it.
struct FramedWindow
{
    QRect frame;
    QPoint clientCorner;
};

// A private X server (Xvfb) with a window manager that draws title bars (twm), so a test can see
// the placement a real desktop gives the main window. Both programs end with the object.
class FramingDisplay
{
public:
    FramingDisplay() = default;
    ~FramingDisplay();
    Q_DISABLE_COPY_MOVE(FramingDisplay)

    // Why the display cannot run on this machine, or empty when it can.
    static QString missingPrograms();

    // Starts the server and the window manager and waits until the manager runs; the reason on failure.
    bool start(QString& error);

    // The DISPLAY value of the server, such as ":3".
    QString display() const { return m_display; }

    // Polls until a viewable window of the process sits in a window manager's frame and has held
    // still for a few polls; nothing when that does not happen within the time.
    std::optional<FramedWindow> waitForFramedWindow(qint64 pid, int timeoutMs);

private:
    bool waitForServer(QString& error);
    bool waitForWindowManager(QString& error);
    std::optional<FramedWindow> findFramedWindow(quint32 pid);

    TempFolder m_folder;
    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
    xcb_connection_t* m_connection = nullptr;
    quint32 m_root = 0;
    quint32 m_pidAtom = 0;
};
