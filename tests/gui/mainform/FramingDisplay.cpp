#include "FramingDisplay.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

const QString kServer = QStringLiteral("Xvfb");
const QString kWindowManager = QStringLiteral("twm");

// Plain fonts the bare server carries, random placement for windows without a position of their own
// (never the interactive placement that waits for a click), and no server grabs that could stall the test.
const char kWindowManagerConfig[] = "NoGrabServer\n"
                                    "RandomPlacement\n"
                                    "UsePPosition \"on\"\n"
                                    "BorderWidth 2\n"
                                    "TitleFont \"fixed\"\n"
                                    "MenuFont \"fixed\"\n"
                                    "IconFont \"fixed\"\n"
                                    "ResizeFont \"fixed\"\n"
                                    "IconManagerFont \"fixed\"\n";

constexpr int kPollMs = 50;
constexpr int kStillPolls = 4;

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> owned(Reply* reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

QList<xcb_window_t> childrenOf(xcb_connection_t* c, xcb_window_t window)
{
    const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return QList<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.get()));
}

bool viewable(xcb_connection_t* c, xcb_window_t window)
{
    const auto attributes = owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool ownedBy(xcb_connection_t* c, xcb_window_t window, xcb_atom_t pidAtom, quint32 pid)
{
    const auto property =
        owned(xcb_get_property_reply(c, xcb_get_property(c, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    return property && xcb_get_property_value_length(property.get()) == 4 &&
           *static_cast<const quint32*>(xcb_get_property_value(property.get())) == pid;
}

// The process's viewable window inside the given top-level window (the frame), searched a few levels deep.
std::optional<xcb_window_t> clientInside(xcb_connection_t* c, xcb_window_t top, xcb_atom_t pidAtom, quint32 pid,
                                         int depth)
{
    if (viewable(c, top) && ownedBy(c, top, pidAtom, pid))
        return top;
    if (depth == 0)
        return std::nullopt;
    for (const xcb_window_t child : childrenOf(c, top))
        if (const auto found = clientInside(c, child, pidAtom, pid, depth - 1))
            return found;
    return std::nullopt;
}

} // namespace

FramingDisplay::~FramingDisplay()
{
    if (m_connection)
        xcb_disconnect(m_connection);
    for (QProcess* process : {&m_windowManager, &m_server}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
}

QString FramingDisplay::missingPrograms()
{
    QStringList missing;
    for (const QString& program : {kServer, kWindowManager})
        if (QStandardPaths::findExecutable(program).isEmpty())
            missing << program;
    if (missing.isEmpty())
        return {};
    return QStringLiteral("%1 not installed (./run setup installs it); the window placement under a window "
                          "manager is not tested")
        .arg(missing.join(QStringLiteral(" and ")));
}

bool FramingDisplay::start(QString& error)
{
    // The server picks a free display number and writes it to standard output.
    m_server.setStandardErrorFile(m_folder.file(QStringLiteral("server.log")));
    m_server.start(kServer,
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!waitForServer(error))
        return false;

    m_folder.write(QStringLiteral("twmrc"), QByteArray(kWindowManagerConfig));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    m_windowManager.setProcessEnvironment(environment);
    m_windowManager.setStandardOutputFile(m_folder.file(QStringLiteral("wm.log")));
    m_windowManager.setStandardErrorFile(m_folder.file(QStringLiteral("wm.log")), QIODevice::Append);
    m_windowManager.start(kWindowManager, {QStringLiteral("-f"), m_folder.file(QStringLiteral("twmrc"))});
    return waitForWindowManager(error);
}

bool FramingDisplay::waitForServer(QString& error)
{
    const QDeadlineTimer deadline(10000);
    QByteArray output;
    while (!output.contains('\n') && !deadline.hasExpired() && m_server.state() != QProcess::NotRunning)
        if (m_server.waitForReadyRead(200))
            output += m_server.readAllStandardOutput();
    if (!output.contains('\n')) {
        error = QStringLiteral("X server did not start: ") +
                QString::fromLocal8Bit(m_folder.read(QStringLiteral("server.log")));
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(output.trimmed());
    m_connection = xcb_connect(m_display.toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        error = QStringLiteral("cannot connect to X server ") + m_display;
        return false;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const QByteArray name("_NET_WM_PID");
    const auto atom = owned(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<quint16>(name.size()), name.constData()), nullptr));
    m_pidAtom = atom ? atom->atom : 0;
    return m_pidAtom != 0;
}

bool FramingDisplay::waitForWindowManager(QString& error)
{
    // A window manager is the one client that redirects the root window's structure requests.
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_windowManager.state() != QProcess::NotRunning) {
        const auto root = owned(
            xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, m_root), nullptr));
        if (root && (root->all_event_masks & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT))
            return true;
        QThread::msleep(kPollMs);
    }
    error = QStringLiteral("window manager did not start: ") +
            QString::fromLocal8Bit(m_folder.read(QStringLiteral("wm.log")));
    return false;
}

std::optional<FramedWindow> FramingDisplay::waitForFramedWindow(qint64 pid, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    std::optional<FramedWindow> last;
    int still = 0;
    while (!deadline.hasExpired()) {
        const std::optional<FramedWindow> now = findFramedWindow(static_cast<quint32>(pid));
        const bool same = now && last && now->frame == last->frame && now->clientCorner == last->clientCorner;
        still = same ? still + 1 : 0;
        last = now;
        if (still + 1 >= kStillPolls)
            return last;
        QThread::msleep(kPollMs);
    }
    return std::nullopt;
}

std::optional<FramedWindow> FramingDisplay::findFramedWindow(quint32 pid)
{
    xcb_connection_t* c = m_connection;
    for (const xcb_window_t top : childrenOf(c, m_root)) {
        const std::optional<xcb_window_t> client = clientInside(c, top, m_pidAtom, pid, 3);
        // A window that is still a direct child of the root has not been framed yet.
        if (!client || *client == top)
            continue;
        const auto geometry = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, top), nullptr));
        const auto corner =
            owned(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, *client, m_root, 0, 0), nullptr));
        if (!geometry || !corner)
            continue;
        const int border = 2 * geometry->border_width;
        FramedWindow window;
        window.frame = QRect(geometry->x, geometry->y, geometry->width + border, geometry->height + border);
        window.clientCorner = QPoint(corner->dst_x, corner->dst_y);
        return window;
    }
    return std::nullopt;
}
