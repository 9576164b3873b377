#include "ui/importsession.h"

#include "import/masterimport.h"
#include "ui/fmHaupt.h"

#include <QApplication>
#include <QPointer>

namespace {

// The window put aside for a run: controls disabled, input that still
// reaches them (through the application-wide hook, say) dropped, search
// timers held and a list load under way cancelled. Message boxes are windows
// of their own and stay usable. Everything is given back at the end.
class WindowAside : public QObject {
public:
    explicit WindowAside(TfmHaupt1 &window)
        : window_(window), focus_(QApplication::focusWidget()), suchenHeld_(window.tmSuchen->Enabled()),
          rSuchenHeld_(window.tmRSuchen->Enabled())
    {
        running = true;
        window_.Lists().Cancel();
        window_.centralWidget()->setEnabled(false);
        // Installed last, so it sees each event before the window's hook.
        qApp->installEventFilter(this);
        window_.tmSuchen->SetEnabled(false);
        window_.tmRSuchen->SetEnabled(false);
    }
    ~WindowAside() override
    {
        qApp->removeEventFilter(this);
        running = false;
        // The entries after the last commit.
        window_.FlushLog();
        window_.ImportEnded();
        window_.centralWidget()->setEnabled(true);
        if (focus_)
            focus_->setFocus();
        // A search typed before the click runs now.
        if (suchenHeld_)
            window_.tmSuchen->SetEnabled(true);
        if (rSuchenHeld_)
            window_.tmRSuchen->SetEnabled(true);
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
            return watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == &window_;
        default:
            return false;
        }
    }

    static bool running;

private:
    TfmHaupt1 &window_;
    QPointer<QWidget> focus_;
    const bool suchenHeld_;
    const bool rSuchenHeld_;
};

bool WindowAside::running = false;

}  // namespace

void ImportSession::Run(TfmHaupt1 &window)
{
    // A call that still reaches the handler while a run is in progress (from
    // a pumping point or a modal box's own loop) starts nothing.
    if (WindowAside::running)
        return;
    WindowAside aside(window);
    try {
        MasterImport(window.DataModule(), window).Run();
    } catch (const ImportStopped &) {
        // The program ends; the next run resumes where this one stopped.
    }
}
