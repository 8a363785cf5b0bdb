// The end of the session and the termination signals.
#include "shell/ui/session_end.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tunarium {

namespace {

#ifdef Q_OS_UNIX
int g_signalPipe[2] = {-1, -1};

// A signal handler may do almost nothing: it hands the signal to the event loop through a socket.
extern "C" void onTerminationSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &c, 1);
}
#endif

} // namespace

SessionEndWatcher::SessionEndWatcher(QWidget* frame, QObject* parent) : QObject(parent), m_frame(frame) {
    // Logging out asks first; the program lets the session end and closes in order when it does.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [](QSessionManager& manager) { manager.release(); });
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, &SessionEndWatcher::closeFrame);
#ifdef Q_OS_UNIX
    if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        m_notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SessionEndWatcher::signalArrived);
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGHUP, &action, nullptr);
    }
#endif
}

SessionEndWatcher::~SessionEndWatcher() {
#ifdef Q_OS_UNIX
    if (m_notifier) {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
        delete m_notifier;
        m_notifier = nullptr;
        ::close(g_signalPipe[0]);
        ::close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
#endif
}

void SessionEndWatcher::signalArrived() {
#ifdef Q_OS_UNIX
    char c = 0;
    [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[1], &c, 1);
#endif
    closeFrame();
}

void SessionEndWatcher::closeFrame() {
    if (m_frame && m_frame->isVisible()) {
        m_frame->close();
    }
}

} // namespace tunarium
