#include "platform/KeyLineSafety.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {
constexpr int Slots = 16;

struct Entry {
    std::atomic<int> fd{-1};
    std::atomic<KeyLineSafety::Release> release{nullptr};
    std::atomic<int> arg{0};
};
Entry entries[Slots];
std::atomic<bool> installed{false};
std::atomic<int> terminationPipe{-1};
std::atomic<bool> terminationForwarded{false};

void onFatalSignal(int sig)
{
    KeyLineSafety::releaseAll();
    // The handler was installed to run once: the signal now does what it
    // would have done without us.
    std::raise(sig);
}
// Ctrl+C, kill, a closed terminal: the first is passed to the event loop
// when it listens; nothing else happens here then.
void onTermination(int sig)
{
    const int fd = terminationPipe.load();
    if (fd >= 0 && !terminationForwarded.exchange(true)) {
        const char byte = char(sig);
        if (::write(fd, &byte, 1) == 1)
            return;
    }
    KeyLineSafety::releaseAll();
    ::signal(sig, SIG_DFL);
    std::raise(sig);
}
} // namespace

namespace KeyLineSafety {

int enlist(int fd, Release release, int arg)
{
    // Lines are enlisted from the one program thread; the handler may read
    // at any moment, so the descriptor is written last and cleared first.
    for (int i = 0; i < Slots; ++i) {
        if (entries[i].fd.load() != -1)
            continue;
        entries[i].release.store(release);
        entries[i].arg.store(arg);
        entries[i].fd.store(fd);
        return i;
    }
    return -1;
}

void discharge(int slot)
{
    if (slot < 0 || slot >= Slots)
        return;
    entries[slot].fd.store(-1);
}

void releaseAll()
{
    for (Entry &e : entries) {
        const int fd = e.fd.load();
        const Release r = e.release.load();
        if (fd >= 0 && r)
            r(fd, e.arg.load());
    }
}

void installSignalHandlers()
{
    if (installed.exchange(true))
        return;
    struct sigaction sa {};
    sa.sa_handler = onFatalSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    for (int sig : {SIGQUIT, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        sigaction(sig, &sa, nullptr);
    struct sigaction ask {};
    ask.sa_handler = onTermination;
    sigemptyset(&ask.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &ask, nullptr);
    // An exit that skips the owners' clean-up (exit() from deep inside).
    std::atexit(releaseAll);
}

} // namespace KeyLineSafety

namespace KeyLineSafety {
void forwardTermination(int fd)
{
    terminationForwarded.store(false);
    terminationPipe.store(fd);
}
} // namespace KeyLineSafety
