#include "platform/Console.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX
namespace {

// The self-pipe: a signal handler may only write a byte; the event loop reads
// it through a socket notifier and does the work outside the handler.
int g_pipe[2] = {-1, -1};
struct sigaction g_previousInterrupt;
struct sigaction g_previousTerminate;

void onSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace
#endif

StopRequests::StopRequests(QObject *parent) : QObject(parent)
{
#ifdef Q_OS_UNIX
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &g_previousInterrupt);
    ::sigaction(SIGTERM, &action, &g_previousTerminate);
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopRequests::onReadable);
    m_watching = true;
#endif
}

StopRequests::~StopRequests()
{
#ifdef Q_OS_UNIX
    if (!m_watching)
        return;
    ::sigaction(SIGINT, &g_previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &g_previousTerminate, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
#endif
}

void StopRequests::onReadable()
{
#ifdef Q_OS_UNIX
    char bytes[16];
    [[maybe_unused]] const ssize_t read = ::read(g_pipe[1], bytes, sizeof bytes);
#endif
    emit stopRequested();
}

bool StandardErrorIsTerminal()
{
#ifdef Q_OS_UNIX
    return ::isatty(STDERR_FILENO) == 1;
#else
    return false;
#endif
}

bool RunsAsAdministrator()
{
    return geteuid() == 0;
}
