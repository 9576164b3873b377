// The program's four long-lived objects, created in the entry's order (main
// window, data module, wait popup, notice dialog) and destroyed in reverse,
// the data module last so that its transaction commits at the end; the
// start-up and the log that the window hands its work to.
#pragma once

#include "app/logfile.h"
#include "app/startup.h"
#include "ui/fmHaupt.h"

#include <memory>

class Tfmdm;
class TfmHinweis;
class TfmWarten;

class Program : public WindowServices {
public:
    // Fails with the layer's text when the client library cannot be loaded.
    explicit Program(const QString &programFolder = QString());
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    TfmHaupt1 &Window() { return *window_; }
    Tfmdm &DataModule() { return *dataModule_; }

    void FormShow() override;
    void WriteLog(const QString &text) override;
    void FlushLog() override;

private:
    std::unique_ptr<Tfmdm> dataModule_;  // declared first: destroyed last
    std::unique_ptr<TfmHaupt1> window_;
    std::unique_ptr<TfmWarten> waitPopup_;
    std::unique_ptr<TfmHinweis> noticeDialog_;
    std::unique_ptr<StartUp> startUp_;
    std::unique_ptr<LogFile> log_;
};
