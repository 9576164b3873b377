// The import driver: the question, the steps in their order, "Fertig!", and
// what keeps a run to itself while it lets the window handle its messages.
#include "import/import.h"
#include "import/importsteps.h"

#include "app/msgbox.h"
#include "app/startup.h"
#include "data/fmdm1.h"
#include "search/searchlists.h"
#include "ui/fmHaupt.h"
#include "ui_fmHaupt.h"

#include <QApplication>
#include <QPointer>

namespace {

// The run in progress, if any. While it runs, the window takes no input (its
// controls are disabled, and input that still reaches them, for instance
// through the application-wide hook, is dropped) and the search timers are
// held, so no search can re-point the shared qrS while the import waits at
// one of its pumping points; a search typed before the click runs once the
// import is over. Message boxes are windows of their own and stay usable.
class ImportRun : public QObject {
public:
    explicit ImportRun(TfmHaupt1 &window)
        : window_(window), focus_(QApplication::focusWidget()), suchenHeld_(window.tmSuchen->Enabled()),
          rSuchenHeld_(window.tmRSuchen->Enabled())
    {
        current = this;
        // A list load that is pumping messages when the click arrives must
        // not read qrS again once the import has used it.
        CancelListLoads();
        window_.centralWidget()->setEnabled(false);
        // Installed last, so it sees each event before the window's hook.
        qApp->installEventFilter(this);
        window_.tmSuchen->SetEnabled(false);
        window_.tmRSuchen->SetEnabled(false);
    }
    ~ImportRun() override
    {
        qApp->removeEventFilter(this);
        current = nullptr;
        window_.centralWidget()->setEnabled(true);
        if (focus_)
            focus_->setFocus();
        if (suchenHeld_)
            window_.tmSuchen->SetEnabled(true);
        if (rSuchenHeld_)
            window_.tmRSuchen->SetEnabled(true);
    }
    ImportRun(const ImportRun &) = delete;
    ImportRun &operator=(const ImportRun &) = delete;

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

    static ImportRun *current;

private:
    TfmHaupt1 &window_;
    QPointer<QWidget> focus_;
    const bool suchenHeld_;
    const bool rSuchenHeld_;
};

ImportRun *ImportRun::current = nullptr;

// Product-collection pairs marked as built whose MASTER rows are gone: a full
// rebuild would lose their combinations for good. A database without the mark
// column has none.
bool MasterPartlyConsumed(TIBQuery &query)
{
    SetStatement(query, {QStringLiteral("select first 1 K.KPID from KOLLEKTIONEN K"),
                         QStringLiteral("where K.KPID > 0 and K.KIMPORT = 'J'"),
                         QStringLiteral("and not exists (select 1 from MASTER M"),
                         QStringLiteral("                where M.PRODUCTID = K.KPID"),
                         QStringLiteral("                and   M.COLORNAME = K.KNAME)")});
    try {
        query.OpenQuery();
    } catch (const EDatabaseError &e) {
        if (IsMissingKimportColumn(e.Message()))
            return false;
        throw;
    }
    const bool consumed = !query.AtEnd();
    query.CloseQuery();
    return consumed;
}

}  // namespace

void ShowStatus(TfmHaupt1 &window, const QString &text)
{
    window.ui->sb1->showMessage(text);
}

void BringToFront(TfmHaupt1 &window)
{
    window.raise();
    window.activateWindow();
}

void WriteRebuildMark(TIBQuery &query)
{
    SetStatement(query, {QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME)"),
                         QStringLiteral("values (-2, -2, 'Neuaufbau')")});
    query.RunStatement();
}

void RemoveRebuildMark(TIBQuery &query)
{
    SetStatement(query, {QStringLiteral("delete from KOLLEKTIONEN"), QStringLiteral("where KPID = -2")});
    query.RunStatement();
}

bool ImportInterrupted(TIBQuery &query)
{
    SetStatement(query, {QStringLiteral("select KPID from KOLLEKTIONEN"), QStringLiteral("where KPID = -2")});
    query.OpenQuery();
    const bool marked = !query.AtEnd();
    query.CloseQuery();
    return marked;
}

void TfmHaupt1::ProcessPendingMessages()
{
    QApplication::processEvents();
}

void TfmHaupt1::btImportMasterClick()
{
    // No second run. The run's input filter keeps the user's clicks away
    // from the window; a call that still reaches this handler while a run is
    // in progress (from a pumping point or a modal box's own loop) starts
    // nothing.
    if (ImportRun::current)
        return;
    ImportRun run(*this);
    TIBQuery &query = fmdm->qrS;

    // An unfinished rebuild is finished by default; a MASTER that earlier
    // runs have partly consumed is not thrown away by default.
    const bool interrupted = ImportInterrupted(query);
    const bool consumed = !interrupted && MasterPartlyConsumed(query);
    const MsgButton answer = ShowMessageBox(MsgKind::Warning,
                                            QStringLiteral("Sollen die Stammdatentabellen auch neu erzeugt werden?"),
                                            {MsgButton::Yes, MsgButton::No},
                                            consumed ? MsgButton::No : MsgButton::Yes, MsgButton::No);
    if (answer == MsgButton::Yes) {
        if (consumed &&
            ShowMessageBox(MsgKind::Warning,
                           QStringLiteral("Achtung: Ein Teil der Kombinationen wurde bereits importiert, ihre "
                                          "Datensätze in der Tabelle MASTER sind gelöscht!\r\n\r\n"
                                          "Beim Neuerzeugen der Stammdatentabellen gehen diese Kombinationen "
                                          "verloren.\r\n\r\n"
                                          "Sollen die Stammdatentabellen trotzdem neu erzeugt werden?"),
                           {MsgButton::Yes, MsgButton::No}, MsgButton::No, MsgButton::No) != MsgButton::Yes)
            return;
        // The mark goes in before the first drop and stays until the
        // collection builder has made every pair pending.
        if (interrupted) {
            ReleaseInterruptedTableCreation();
        } else {
            WriteRebuildMark(query);
            fmdm->ibTa1.CommitRetaining();
        }
        RecreateTables();
        CreateTableRGBCOLORS();
        CreateTableBASEN();
        CreateTableFARBEN();
        CreateTableKOLLEKTIONEN();
    }
    CreateTableKOMBIDATEN();

    BringToFront(*this);
    ProcessPendingMessages();
    ShowInformation(QStringLiteral("Fertig!"));
}
