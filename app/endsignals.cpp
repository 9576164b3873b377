#include "app/endsignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t EndingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&set, signal);
    return set;
}

}  // namespace

void EndSignals::Block()
{
    const sigset_t set = EndingSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

EndSignals::EndSignals(std::function<void()> end)
{
    const sigset_t set = EndingSignals();
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this, end = std::move(end)] {
        signalfd_siginfo info;
        while (::read(fd_, &info, sizeof info) == sizeof info) {
        }
        end();
    });
}

EndSignals::~EndSignals()
{
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}
