#include "ui/importsession.h"

#include "import/masterimport.h"
#include "search/listloader.h"
#include "search/ttimer.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>

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
    }
    ~WindowAside() override
    {
        qApp->removeEventFilter(this);
        running = false;
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
            return watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == &window_;
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

}  // namespace

void ImportSession::Run(const ImportWindow &window)
{
    // A call that still reaches the handler while a run is in progress (from
    // a pumping point or a modal box's own loop) starts nothing.
    if (WindowAside::running)
        return;
    WindowAside aside(window);
    try {
        MasterImport(window.dataModule, window.observer).Run();
    } catch (const ImportStopped &) {
        // The program ends; the next run resumes where this one stopped.
    }
}
