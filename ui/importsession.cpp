#include "ui/importsession.h"

#include "data/fmdm1.h"
#include "import/importobserver.h"
#include "import/masterimport.h"
#include "search/listloader.h"
#include "search/ttimer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// The window put aside for a run: controls disabled, input that still
// reaches them (through the application-wide hook, say) dropped, search
// timers held and a list load under way cancelled. Message boxes are windows
// of their own and stay usable. Everything is given back at the end.
class WindowAside : public QObject {
public:
    explicit WindowAside(const ImportWindow &parts)
        : parts_(parts), window_(parts.window), focus_(QApplication::focusWidget()),
          suchenHeld_(parts.suchen.Enabled()), rSuchenHeld_(parts.rSuchen.Enabled())
    {
        running = true;
        parts_.lists.Cancel();
        window_.centralWidget()->setEnabled(false);
        // Installed last, so it sees each event before the window's hook.
        qApp->installEventFilter(this);
        parts_.suchen.SetEnabled(false);
        parts_.rSuchen.SetEnabled(false);
        parts_.cancel.setEnabled(true);
        parts_.cancel.show();
    }
    ~WindowAside() override
    {
        qApp->removeEventFilter(this);
        running = false;
        parts_.cancel.hide();
        parts_.ended();
        window_.centralWidget()->setEnabled(true);
        if (focus_)
            focus_->setFocus();
        // A search typed before the click runs now.
        if (suchenHeld_)
            parts_.suchen.SetEnabled(true);
        if (rSuchenHeld_)
            parts_.rSuchen.SetEnabled(true);
    }
    WindowAside(const WindowAside &) = delete;
    WindowAside &operator=(const WindowAside &) = delete;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return watched->isWidgetType() && watched != &parts_.cancel &&
                   static_cast<QWidget *>(watched)->window() == &window_;
        default:
            return false;
        }
    }

    static bool running;

private:
    const ImportWindow &parts_;
    QMainWindow &window_;
    QPointer<QWidget> focus_;
    const bool suchenHeld_;
    const bool rSuchenHeld_;
};

bool WindowAside::running = false;

// The window's observer as the import's thread sees it. What only informs
// goes to the window in order without waiting; log entries go in batches,
// and the flush that each commit asks for waits until they are on disk; a
// box waits for its answer. Asked whether to go on, it tells whether the
// window has asked the run to stop.
class ThreadObserver : public ImportObserver {
public:
    ThreadObserver(QObject &window, ImportObserver &observer, const std::atomic<bool> &stop)
        : window_(window), observer_(observer), stop_(stop)
    {
    }

    void Status(const QString &text) override
    {
        Post([&observer = observer_, text] { observer.Status(text); });
    }
    void Progress(const QString &step, int done, int total) override
    {
        Post([&observer = observer_, step, done, total] { observer.Progress(step, done, total); });
    }
    bool ProcessPendingMessages() override { return !stop_; }
    void BringToFront() override
    {
        Post([&observer = observer_] { observer.BringToFront(); });
    }
    void Log(const QString &text) override
    {
        entries_ << text;
        if (entries_.size() >= kEntriesPerBatch)
            PostEntries();
    }
    void FlushLog() override
    {
        PostEntries();
        Wait([this] { observer_.FlushLog(); });
    }
    void ShowError(const QString &text) override
    {
        PostEntries();
        Wait([this, &text] { observer_.ShowError(text); });
    }
    void ShowInformation(const QString &text) override
    {
        PostEntries();
        Wait([this, &text] { observer_.ShowInformation(text); });
    }
    bool Ask(const QString &question, bool yesByDefault) override
    {
        PostEntries();
        bool yes = false;
        Wait([&] { yes = observer_.Ask(question, yesByDefault); });
        return yes;
    }

    void Collecting(TIBDatabase *connection) override
    {
        const std::lock_guard lock(collectingMutex_);
        collecting_ = connection;
    }
    // From the window's thread: the collection after the run, if it is
    // under way, stops.
    void StopCollecting()
    {
        const std::lock_guard lock(collectingMutex_);
        if (collecting_)
            collecting_->CancelOperation();
    }

    // Entries not flushed yet go after the others.
    void PostEntries()
    {
        if (!entries_.isEmpty())
            Post([&observer = observer_, entries = std::exchange(entries_, {})] {
                for (const QString &entry : entries)
                    observer.Log(entry);
            });
    }
    // Runs on the window's thread after everything posted before.
    void Post(std::function<void()> call) { QMetaObject::invokeMethod(&window_, std::move(call), Qt::QueuedConnection); }

private:
    static constexpr qsizetype kEntriesPerBatch = 1000;
    void Wait(const std::function<void()> &call)
    {
        QMetaObject::invokeMethod(&window_, call, Qt::BlockingQueuedConnection);
    }

    QObject &window_;
    ImportObserver &observer_;
    const std::atomic<bool> &stop_;
    QStringList entries_;
    std::mutex collectingMutex_;
    TIBDatabase *collecting_ = nullptr;  // the collection's connection while it reads
};

// The run on its thread, with a connection like the window's.
void RunOnThread(const Tfmdm &windowData, ThreadObserver &observer, bool &stopped, std::exception_ptr &error)
{
    try {
        Tfmdm dm;
        dm.ib1.DatabaseName = windowData.ib1.DatabaseName;
        dm.ib1.Params = windowData.ib1.Params;
        dm.ibTa1.Params = windowData.ibTa1.Params;
        MasterImport(dm, observer).Run();
    } catch (const ImportStopped &) {
        // The next run resumes where this one stopped.
        stopped = true;
    } catch (...) {
        error = std::current_exception();
    }
    observer.PostEntries();
}

}  // namespace

void ImportSession::Run(const ImportWindow &window)
{
    // A call that still reaches the handler while a run is in progress (from
    // a modal box's own loop, say) starts nothing.
    if (WindowAside::running)
        return;
    WindowAside aside(window);
    // The window's connection stays idle for the run: its statements would
    // hold the tables that the run alters, and the run takes the database
    // for its own. It connects again afterwards.
    window.dataModule.ib1.SetConnected(false);

    std::atomic<bool> stop = false;
    bool stopped = false;
    bool over = false;
    std::exception_ptr error;
    ThreadObserver observer(window.window, window.observer, stop);
    const QMetaObject::Connection cancel =
        QObject::connect(&window.cancel, &QAbstractButton::clicked, [&stop, &window] {
            stop = true;
            window.cancel.setEnabled(false);
        });
    std::thread thread([&] {
        RunOnThread(window.dataModule, observer, stopped, error);
        observer.Post([&over] { over = true; });
    });
    while (!over) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (window.ending()) {
            stop = true;
            observer.StopCollecting();
        }
    }
    thread.join();
    QObject::disconnect(cancel);

    try {
        window.dataModule.ib1.SetConnected(true);
        window.dataModule.ibTa1.SetActive(true);
    } catch (const Exception &) {
        // A lost connection: the next use attaches again.
    }
    if (error)
        std::rethrow_exception(error);
    if (stopped && !window.ending())
        window.observer.Status(QStringLiteral("Der Import wurde abgebrochen. Ein neuer Import setzt ihn fort."));
}
