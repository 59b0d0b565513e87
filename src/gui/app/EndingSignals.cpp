#include "gui/app/EndingSignals.h"

#include "platform/Cancel.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kEndingSignals{SIGTERM, SIGHUP, SIGINT};

// The pipe from the handler to the event loop; one for the process, as its handlers are.
int g_pipe[2] = {-1, -1};

extern "C" void onEndingSignal(int signal) {
    // at once, so that an output walk writing now discards its files
    EndingRequested() = signal;
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // a full pipe already holds a signal the loop has yet to read
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = saved;
}

} // namespace

TEndingSignals::TEndingSignals(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0)
        throw std::logic_error("the ending signals are already taken");
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("no pipe for the ending signals");
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        while (::read(g_pipe[0], &number, 1) == 1)
            emit received(number);
    });
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kEndingSignals)
        ::sigaction(signal, &action, nullptr);
}

TEndingSignals::~TEndingSignals() {
    for (int signal : kEndingSignals)
        std::signal(signal, SIG_DFL);
    EndingRequested() = 0;
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}
