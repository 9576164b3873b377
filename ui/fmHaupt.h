// The main window: its controls, the input hook, and the handlers of its
// events, which hand the work to the searches, the detail panel, the
// start-up and the import.
#pragma once

#include "details/detailpanel.h"
#include "import/importobserver.h"
#include "search/backwardsearch.h"
#include "search/forwardsearch.h"
#include "search/listloader.h"
#include "search/ttimer.h"
#include "ui/anchors.h"

#include <QMainWindow>

#include <memory>

namespace Ui {
class TfmHaupt1;
}

class QEvent;
class QObject;
class QProgressBar;
class QPushButton;
class Tfmdm;
class TfmHinweis;
class TfmWarten;

// What the program entry provides the window with: the start-up of its
// first show, and the day's log.
class WindowServices {
public:
    virtual void FormShow() = 0;
    virtual void WriteLog(const QString &text) = 0;
    virtual void FlushLog() = 0;

protected:
    ~WindowServices() = default;
};

class TfmHaupt1 : public QMainWindow, public ImportObserver {
    Q_OBJECT
public:
    explicit TfmHaupt1(QWidget *parent = nullptr);
    ~TfmHaupt1() override;

    // The objects created after the window, and the entry's services.
    void Attach(Tfmdm &dm, TfmWarten &waitPopup, TfmHinweis &noticeDialog, WindowServices &services);

    std::unique_ptr<Ui::TfmHaupt1> ui;
    TTimer *tmSuchen;
    TTimer *tmRSuchen;
    // The window's colour, set once at start-up.
    quint32 WindowColor = 0;

    // Start-up and the log.
    void FormShow();
    void WriteLog(const QString &text);

    // The window's pages and the application-wide hook: mouse wheel to
    // arrow keys.
    void PageControl1Change();
    bool ApplicationEvents1Message(QObject *target, QEvent *event);

    // Forward search.
    void edSelProdKeyDown(int key);
    void edSelProdKeyUp(int key);
    void tmSuchenTimer();
    void lbSelKeyUp(int key);
    void lbSelDblClick();
    void bbDelProdClick();
    void bbDelKolClick();
    void bbDelFarbClick();
    void ResetForwardSearch();

    // Backward search and the switch between the search pages.
    void edRSelFarbKeyDown(int key);
    void edRSelFarbKeyUp(int key);
    void tmRSuchenTimer();
    void lbRSelKeyUp(int key);
    void lbRSelDblClick();
    void bbRDelFarbClick();
    void bbRDelAllClick();
    void bbRDelKolClick();
    void bbRDelProdClick();
    void pcSucheChange();

    // Details.
    void ShowForwardCombination(int shadeId);
    void ShowBackwardCombination(int productId);
    void BitBtn2Click();

    // Master import.
    void btImportMasterClick();

    // The level of the visible search page.
    int SearchLevel() const;
    ForwardSearch &Forward() { return *forward_; }
    BackwardSearch &Backward() { return *backward_; }
    DetailPanel &Details() { return *details_; }
    ListLoader &Lists() { return *lists_; }
    Tfmdm &DataModule() { return *dm_; }

    // The program is to end (a signal, a logout): the window closes and the
    // event loops end, a message box's too; an import stops at its next look
    // at the window.
    void EndProgram();
    bool Ending() const { return ending_; }

    // What the import tells the window.
    void Status(const QString &text) override;
    void Progress(const QString &step, int done, int total) override;
    bool ProcessPendingMessages() override;
    void BringToFront() override;
    void Log(const QString &text) override;
    void FlushLog() override;
    void ShowError(const QString &text) override;
    void ShowInformation(const QString &text) override;
    bool Ask(const QString &question, bool yesByDefault) override;
    // The import run is over: the progress bar goes.
    void ImportEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void SetUpControls();
    void ConnectHandlers();
    void AnchorControls();
    // Key and double-click events of the search controls, to their handlers.
    void DispatchInput(QObject *watched, QEvent *event);

    Tfmdm *dm_ = nullptr;
    TfmHinweis *noticeDialog_ = nullptr;
    WindowServices *services_ = nullptr;
    std::unique_ptr<ListLoader> lists_;
    std::unique_ptr<ForwardSearch> forward_;
    std::unique_ptr<BackwardSearch> backward_;
    std::unique_ptr<DetailPanel> details_;
    QProgressBar *pbImport;
    QPushButton *btImportCancel;
    StepTimeLeft timeLeft_;
    Anchors anchors_;
    bool formShown_ = false;
    bool ending_ = false;
};

// The single instance, created first at start-up.
extern TfmHaupt1 *fmHaupt1;
