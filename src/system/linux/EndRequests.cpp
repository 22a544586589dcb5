#include "system/linux/EndRequests.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kelvo {
namespace {

// The self-pipe: the handler writes the signal's number, the event loop
// reads it.
int g_pipe[2] = {-1, -1};
constexpr std::array kSignals = {SIGTERM, SIGHUP};

void onSignal(int number) {
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals)
        sigaction(number, &action, nullptr);
}

} // namespace

EndRequests::EndRequests(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without the pipe the signals keep their default: the end
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndRequests::readSignal);
    setHandler(onSignal);
}

EndRequests::~EndRequests() {
    if (!m_notifier)
        return;
    setHandler(SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void EndRequests::readSignal() {
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    emit endRequested();
}

// The session manager's "die" reaches the application as a quit event,
// which closing the main window (it only hides) would refuse.
bool EndRequests::eventFilter(QObject* watched, QEvent* event) {
    if (watched != QCoreApplication::instance() || event->type() != QEvent::Quit)
        return false;
    emit endRequested();
    return true;
}

} // namespace kelvo
