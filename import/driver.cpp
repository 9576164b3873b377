// The import driver: the question, the steps in their order, "Fertig!", and
// what the steps share.
#include "import/masterimport.h"

#include "data/engineconfig.h"
#include "data/faults.h"
#include "data/fmdm1.h"
#include "data/sql.h"
#include "data/validation.h"
#include "import/importobserver.h"

namespace {

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

constexpr qint64 kShowEveryMs = 50;

// The import's connection, attached anew for the run and as before after it.
// Garbage collection frees the pages of deleted rows, and a write in the
// same process may take them over; a kill in between leaves a data page
// that the table still lists, confused for good (Firebird 3). So it collects
// no garbage. And it has a page cache of its own that writes past the file
// cache (WritersCachePages).
class ImportConnection {
public:
    explicit ImportConnection(Tfmdm &dm)
        : dm_(dm),
          wasConnected_(dm.ib1.Connected()),
          buffers_(BuffersLine(dm.ib1.DatabaseName))
    {
        Reconnect(true);
    }
    ~ImportConnection()
    {
        try {
            if (wasConnected_) {
                Reconnect(false);
            } else {
                dm_.ib1.SetConnected(false);
                RemoveOwnParams();
            }
        } catch (const Exception &) {
            // A lost connection: the next use attaches again.
        }
        if (!buffers_.isEmpty())
            RefillFileCache(dm_.ib1.DatabaseName);
    }
    ImportConnection(const ImportConnection &) = delete;
    ImportConnection &operator=(const ImportConnection &) = delete;

private:
    inline static const QString flag = QStringLiteral("no_garbage_collect");

    static QString BuffersLine(const QString &databaseName)
    {
        const int pages = WritersCachePages(databaseName);
        return pages > 0 ? QStringLiteral("num_buffers=%1").arg(pages) : QString();
    }

    void RemoveOwnParams()
    {
        dm_.ib1.Params.removeAll(flag);
        if (!buffers_.isEmpty())
            dm_.ib1.Params.removeAll(buffers_);
    }

    void Reconnect(bool forImport)
    {
        RemoveOwnParams();
        if (forImport) {
            dm_.ib1.Params << flag;
            if (!buffers_.isEmpty())
                dm_.ib1.Params << buffers_;
        }
        // Detaching commits the running transaction, as the end of a run does.
        dm_.ib1.SetConnected(false);
        dm_.ib1.SetConnected(true);
        dm_.ibTa1.SetActive(true);
    }

    Tfmdm &dm_;
    const bool wasConnected_;
    const QString buffers_;
};

}  // namespace

bool IsMissingKimportColumn(const QString &message)
{
    // Upper case for the letters a to z only.
    QString upper = message;
    for (QChar &c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return upper.contains(QLatin1String("COLUMN UNKNOWN")) && upper.contains(QLatin1String("KIMPORT"));
}

bool ImportInterrupted(TIBQuery &query)
{
    SetStatement(query, {QStringLiteral("select KPID from KOLLEKTIONEN"), QStringLiteral("where KPID = -2")});
    query.OpenQuery();
    const bool marked = !query.AtEnd();
    query.CloseQuery();
    return marked;
}

MasterImport::MasterImport(Tfmdm &dm, ImportObserver &observer)
    : dm_(dm),
      observer_(observer),
      lookup_(QStringLiteral("qrImport"), &dm.ib1, &dm.ibTa1),
      schemaTransaction_(&dm.ib1, QStringLiteral("ibTaSchema")),
      schema_(QStringLiteral("qrSchema"), &dm.ib1, &schemaTransaction_)
{
    // Sees every committed row, and waits for another workstation a few
    // seconds, not for ever.
    schemaTransaction_.Params = {QStringLiteral("read_committed"), QStringLiteral("lock_timeout=5")};
    sinceStatus_.start();
    sincePump_.start();
}

TField &MasterImport::Field(TIBQuery &query, const char *name)
{
    return query.ColumnByName(QString::fromLatin1(name));
}

void MasterImport::Status(const QString &text)
{
    observer_.Status(text);
    sinceStatus_.restart();
}

void MasterImport::RowStatus(const std::function<QString()> &text)
{
    if (sinceStatus_.elapsed() >= kShowEveryMs)
        Status(text());
}

void MasterImport::StartStep(const QString &step, int total)
{
    step_ = step;
    done_ = 0;
    total_ = total;
    observer_.Progress(step_, done_, total_);
}

void MasterImport::CountRows(TIBQuery &source)
{
    // Read through once: the rows are cached for the pass anyway.
    source.ToLastRow();
    total_ = source.RowCount();
    done_ = 0;
    source.ToFirstRow();
    Pump();
}

void MasterImport::WriteRebuildMark()
{
    // One KOLLEKTIONEN row that no search and no pair query can see: its KPID
    // is below 0 and not the "-1" of a search with nothing chosen.
    SetStatement(lookup_, {QStringLiteral("insert into KOLLEKTIONEN (KPID, KID, KNAME)"),
                           QStringLiteral("values (-2, -2, 'Neuaufbau')")});
    lookup_.RunStatement();
}

void MasterImport::CheckMaster()
{
    SetStatement(lookup_, {QStringLiteral("select count(*) from MASTER"),
                           QStringLiteral("where COLORNAME || COLORNUMBER || BASENAME || COSTCODE is null"),
                           QStringLiteral("or PRODUCTID + RCOLOR + GCOLOR + BCOLOR + FORMULADETAILSKEY is not null")});
    lookup_.OpenQuery();
    lookup_.CloseQuery();
}

void MasterImport::Pump()
{
    observer_.Progress(step_, done_, total_);
    if (!observer_.ProcessPendingMessages())
        throw ImportStopped();
    sincePump_.restart();
}

void MasterImport::PumpWhenDue()
{
    if (sincePump_.elapsed() >= kShowEveryMs)
        Pump();
}

void MasterImport::Commit()
{
    observer_.FlushLog();
    dm_.ibTa1.CommitRetaining();
}

void MasterImport::Run()
{
    try {
        CheckTables();
        {
            const ImportConnection connection(dm_);
            try {
                ClaimRun();
                RunSteps();
            } catch (const EDatabaseError &e) {
                // What was written since the last commit goes: the pair
                // under way stays pending with its MASTER rows, and the
                // next run builds it.
                const Fault fault = FaultOf(e);
                if (fault == Fault::Connection)
                    dm_.ib1.ConnectionLost();
                else if (fault != Fault::None)
                    dm_.ibTa1.SetActive(false);
                throw;
            }
        }
        CollectGarbage();
    } catch (const EDatabaseError &e) {
        const Fault fault = FaultOf(e);
        if (fault == Fault::None)
            throw;
        throw Exception(StoppedText(FaultCause(fault), e.Message()));
    }
}

void MasterImport::CollectGarbage()
{
    // The rows a rebuild deleted stay in the file until a scan collects
    // them, and the first search after an import was that scan, many times
    // slower than the next. Once the run has written its last row, a
    // connection that collects, as the searches' does, reads each table the
    // searches read.
    const bool wasConnected = dm_.ib1.Connected();
    dm_.ib1.SetConnected(true);
    if (!dm_.ibTa1.Active())
        dm_.ibTa1.SetActive(true);
    // A program that ends meanwhile stops the collection: what is left, the
    // next read collects.
    observer_.Collecting(&dm_.ib1);
    try {
        for (const char *table : {"FARBEN", "BASEN", "RGBCOLORS", "KOLLEKTIONEN", "KOMBIDATEN"}) {
            if (!observer_.ProcessPendingMessages())
                break;
            SetStatement(lookup_, {QStringLiteral("select count(*) from ") + QLatin1String(table)});
            lookup_.OpenQuery();
            lookup_.CloseQuery();
        }
    } catch (const EDatabaseError &e) {
        observer_.Collecting(nullptr);
        if (!IsCancelled(e))
            throw;
    }
    observer_.Collecting(nullptr);
    if (!wasConnected)
        dm_.ib1.SetConnected(false);
}

void MasterImport::CheckTables()
{
    const QStringList damage = TableDamage(dm_.ib1);
    if (!damage.isEmpty())
        throw Exception(DamagedText(damage));
}

QString DamagedText(const QStringList &damage)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Die Datenbank ist beschädigt, der Import wurde nicht begonnen. Sichern Sie die Datenbank "
                          "mit gbak und spielen Sie die Sicherung zurück (gbak -b, dann gbak -c); danach kann der "
                          "Import wiederholt werden.") +
           crlf + crlf + damage.join(crlf);
}

QString StoppedText(const QString &cause, const QString &message)
{
    return QStringLiteral("Der Import wurde angehalten. ") + cause +
           QStringLiteral(" Die fertigen Paare sind gespeichert, das angefangene bleibt offen. Der Import kann "
                          "wiederholt werden, sobald die Ursache behoben ist.\r\n\r\n") +
           message;
}

void MasterImport::ClaimRun()
{
    // This connection is marked as importing first, then others are looked
    // for: of two that start together, neither runs, never both.
    SetStatement(schema_, {QStringLiteral("select rdb$set_context('USER_SESSION', 'TINTOREL_IMPORT', 'J') "
                                          "from RDB$DATABASE")});
    schema_.OpenQuery();
    schema_.CloseQuery();
    schemaTransaction_.Commit();
    if (!Catalogue(QStringLiteral("select MON$ATTACHMENT_ID from MON$CONTEXT_VARIABLES "
                                  "where MON$VARIABLE_NAME = 'TINTOREL_IMPORT' "
                                  "and MON$ATTACHMENT_ID <> current_connection"))
             .isEmpty())
        throw Exception(QStringLiteral("An einem anderen Arbeitsplatz läuft gerade ein Import. Der Import kann "
                                       "wiederholt werden, sobald er dort beendet ist."));
}

void MasterImport::RunSteps()
{
    // An unfinished rebuild is finished by default; a MASTER that earlier
    // runs have partly consumed is not thrown away by default.
    const bool interrupted = ImportInterrupted(lookup_);
    const bool consumed = !interrupted && MasterPartlyConsumed(lookup_);
    if (observer_.Ask(QStringLiteral("Sollen die Stammdatentabellen auch neu erzeugt werden?"), !consumed)) {
        if (consumed &&
            !observer_.Ask(QStringLiteral("Achtung: Ein Teil der Kombinationen wurde bereits importiert, ihre "
                                          "Datensätze in der Tabelle MASTER sind gelöscht!\r\n\r\n"
                                          "Beim Neuerzeugen der Stammdatentabellen gehen diese Kombinationen "
                                          "verloren.\r\n\r\n"
                                          "Sollen die Stammdatentabellen trotzdem neu erzeugt werden?"),
                           false))
            return;
        CheckMaster();
        // The mark goes in before the first change and stays until the
        // collection builder has made every pair pending.
        if (!interrupted) {
            WriteRebuildMark();
            Commit();
        }
        StartStep(QStringLiteral("Tabellen"));
        RecreateTables();
        CreateTableRGBCOLORS();
        CreateTableBASEN();
        CreateTableFARBEN();
        CreateTableKOLLEKTIONEN();
    }
    CreateTableKOMBIDATEN();

    observer_.BringToFront();
    Pump();
    observer_.ShowInformation(EndText());
}

QString MasterImport::EndText() const
{
    QStringList undone;
    if (failedPairs_ > 0)
        undone << QStringLiteral("%1 Paare mit Fehler: Sie sind als importiert markiert, ihre Datensätze bleiben in "
                                 "MASTER.")
                      .arg(failedPairs_);
    if (consumedRows_ > 0)
        undone << QStringLiteral("%1 Datensätze aus MASTER ohne Kombination gelöscht: Farbton, Base oder RGB-Farbe "
                                 "fehlt.")
                      .arg(consumedRows_);
    if (uncollected_ > 0)
        undone << QStringLiteral("%1 Kollektionen mit zu langem Namen: Ihre Datensätze bleiben in MASTER.")
                      .arg(uncollected_);
    if (undone.isEmpty())
        return QStringLiteral("Fertig!");
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Fertig!") + crlf + crlf + undone.join(crlf) + crlf + crlf +
           QStringLiteral("Die Einzelheiten stehen im Protokoll.");
}
