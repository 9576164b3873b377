#include "app/program.h"

#include "data/fmdm1.h"
#include "ui/fmHinweis1.h"
#include "ui/fmWarten1.h"

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

void Program::FlushLog()
{
    log_->Flush();
}
