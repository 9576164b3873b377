#include "app/program.h"

#include "data/fmdm1.h"
#include "ui/fmHinweis1.h"
#include "ui/fmWarten1.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The signal handler only writes a byte; the event loop reads it.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

Program::Program(const QString &programFolder)
{
    SetProgramFolder(programFolder);
    window_ = std::make_unique<TfmHaupt1>();
    fmHaupt1 = window_.get();
    try {
        dataModule_ = std::make_unique<Tfmdm>();
    } catch (...) {
        fmHaupt1 = nullptr;
        SetProgramFolder(QString());
        throw;
    }
    fmdm = dataModule_.get();
    waitPopup_ = std::make_unique<TfmWarten>();
    fmWarten = waitPopup_.get();
    noticeDialog_ = std::make_unique<TfmHinweis>();
    fmHinweis = noticeDialog_.get();
    startUp_ = std::make_unique<StartUp>(*window_, *dataModule_);
    log_ = std::make_unique<LogFile>(ProgramFolder());
    window_->Attach(*dataModule_, *waitPopup_, *noticeDialog_, *this);
}

Program::~Program()
{
    if (signals_) {
        for (int signal : {SIGTERM, SIGINT, SIGHUP})
            std::signal(signal, SIG_DFL);
        signals_.reset();
        for (int &end : g_signalPipe) {
            ::close(end);
            end = -1;
        }
    }
    window_->close();
    noticeDialog_.reset();
    waitPopup_.reset();
    window_.reset();
    fmHinweis = nullptr;
    fmWarten = nullptr;
    fmHaupt1 = nullptr;
    log_.reset();
    dataModule_.reset();
    fmdm = nullptr;
    SetProgramFolder(QString());
}

void Program::FormShow()
{
    startUp_->FormShow();
}

void Program::WriteLog(const QString &text)
{
    log_->Write(text);
}

void Program::EndOnSignals()
{
    if (signals_ || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    signals_ = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(signals_.get(), &QSocketNotifier::activated, window_.get(), [this] {
        char bytes[16];
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], bytes, sizeof bytes);
        window_->EndProgram();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}
