#include "presentation/SignalCleanup.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace {

// A fixed table, so that the handler reads it without allocating or locking: a slot's path is
// written before its state says it is in use, and the handler reads only slots in use.
constexpr int kSlots = 64;
constexpr size_t kPathBytes = 4096;

enum State : int { Free = 0, Claimed, HeldFile, HeldFolder };

struct Slot
{
    std::atomic<int> state{Free};
    char path[kPathBytes];
};

std::array<Slot, kSlots> slots;

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP, SIGPIPE};

std::atomic<int> deferrals{0};
std::atomic<int> deferredSignal{0};

void removeAndDie(int signal)
{
    if (deferrals.load() > 0) {
        deferredSignal.store(signal);
        return;
    }
    for (Slot &slot : slots) {
        const int state = slot.state.load();
        if (state == HeldFile)
            ::unlink(slot.path);
        else if (state == HeldFolder)
            ::rmdir(slot.path);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Installed once, the first time something is held. A signal the process was told to ignore
// (nohup, a parent that ignores closed pipes) stays ignored.
void installHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : kSignals) {
            struct sigaction previous
            {
            };
            if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
                continue;
            struct sigaction action
            {
            };
            action.sa_handler = removeAndDie;
            action.sa_flags = SA_RESTART; // a deferred signal must not fail the write it waits on
            sigemptyset(&action.sa_mask);
            for (int blocked : kSignals) // one cleanup at a time
                sigaddset(&action.sa_mask, blocked);
            ::sigaction(signal, &action, nullptr);
        }
    });
}

} // namespace

SignalCleanup::SignalCleanup(const QByteArray &path, Kind kind)
{
    if (path.isEmpty() || size_t(path.size()) >= kPathBytes)
        return;
    installHandlers();
    for (int i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (!slots[size_t(i)].state.compare_exchange_strong(expected, Claimed))
            continue;
        std::memcpy(slots[size_t(i)].path, path.constData(), size_t(path.size()) + 1);
        slots[size_t(i)].state.store(kind == Kind::File ? HeldFile : HeldFolder);
        m_slot = i;
        return;
    }
}

SignalCleanup &SignalCleanup::operator=(SignalCleanup &&other) noexcept
{
    if (this != &other) {
        release();
        m_slot = other.m_slot;
        other.m_slot = -1;
    }
    return *this;
}

void SignalCleanup::release()
{
    if (m_slot < 0)
        return;
    slots[size_t(m_slot)].state.store(Free);
    m_slot = -1;
}

SignalCleanup::Deferral::Deferral()
{
    installHandlers();
    deferrals.fetch_add(1);
}

SignalCleanup::Deferral::~Deferral()
{
    if (deferrals.fetch_sub(1) == 1) {
        if (const int signal = deferredSignal.exchange(0); signal != 0)
            removeAndDie(signal);
    }
}
