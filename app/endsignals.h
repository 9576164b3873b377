// SIGTERM (a logout, systemctl), SIGINT and SIGHUP end the program the way
// closing its window does. The embedded database engine catches these
// signals for itself and would close the connection under the running
// program; so they are blocked in every thread from the start and read from
// a descriptor by the event loop instead.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

class EndSignals {
public:
    // First thing in main, before any thread is started: the threads started
    // later inherit the blocked signals.
    static void Block();

    // From here on a signal calls `end` from the event loop.
    explicit EndSignals(std::function<void()> end);
    ~EndSignals();
    EndSignals(const EndSignals &) = delete;
    EndSignals &operator=(const EndSignals &) = delete;

private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
