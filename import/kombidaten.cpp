// The combination builder: works through the pending product-collection
// pairs, writes their combinations and consumes their MASTER rows.
#include "import/masterimport.h"

#include "data/faults.h"
#include "data/fmdm1.h"
#include "data/sql.h"
#include "import/importobserver.h"

#include <QSet>

QString WithoutTrailingBlanks(const QString &name)
{
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == QLatin1Char(' '))
        --end;
    return name.left(end);
}

QString PairNameLiteral(const QString &kname)
{
    return DoubleQuotes(WithoutTrailingBlanks(kname));
}

QString PairErrorText(const QString &message, const QString &debugPoint, int productId, int collectionId)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Fehler: ") + message + crlf + crlf + QStringLiteral("Debug-Point: ") + debugPoint + crlf +
           QStringLiteral(" Produkt-ID: ") + QString::number(productId) + crlf + QStringLiteral(" Kollektions-ID: ") +
           QString::number(collectionId) + crlf;
}

// The run variables of the combination builder, and the pair at hand.
struct MasterImport::PairRun {
    explicit PairRun(TIBQuery &pending) : pairs(pending) {}

    TIBQuery &pairs;
    int written = 0;  // rows posted since the last 100-row commit, across pairs
    int p = 0;        // the product id read last
    int k = 0;        // the collection id read last
    QString debugPoint = QStringLiteral("#001");
    QString kpid;
    QString kid;
    QString name;        // without its trailing blanks
    QString masterRead;  // the pair's read of its combined rows, as logged
    int withoutCombination = 0;  // rows of the pair that give none
    int combined = 0;            // rows of the pair's join
};

// The pair's collection id, the columns of its combined rows and of the
// combination written from each, found once per pair.
struct MasterImport::CombinedColumns {
    CombinedColumns(TIBQuery &pairs, TIBQuery &master, TIBQuery &kdaten)
        : kid(Field(pairs, "KID")), productId(Field(master, "PRODUCTID")), shadeId(Field(master, "FID")), baseId(Field(master, "BASEID")),
          red(Field(master, "RCOLOR")), green(Field(master, "GCOLOR")), blue(Field(master, "BCOLOR")),
          shade(Field(master, "COLORNUMBER")), base(Field(master, "BASENAME")),
          notice(Field(master, "FORMULADETAILSKEY")), cost(Field(master, "COSTCODE")), kKid(Field(kdaten, "K_KID")),
          kFid(Field(kdaten, "K_FID")), kPid(Field(kdaten, "K_PID")), kColorId(Field(kdaten, "K_COLORID")),
          kBaseId(Field(kdaten, "K_BASEID")), kFdetId(Field(kdaten, "K_FDETID")), kCost(Field(kdaten, "K_COST"))
    {
    }

    TField &kid;  // of the pair
    TField &productId, &shadeId, &baseId, &red, &green, &blue, &shade, &base, &notice, &cost;
    TField &kKid, &kFid, &kPid, &kColorId, &kBaseId, &kFdetId, &kCost;
};

namespace {

QString ProductText(int p)
{
    return QStringLiteral("Datensatz Produkt-ID: (") + QString::number(p);
}

// The lookup statement of a combined row's colour.
QStringList ColourLookup(const QString &red, const QString &green, const QString &blue)
{
    return {QStringLiteral("select * from RGBCOLORS"), QStringLiteral(" where RCOLOR = ") + red,
            QStringLiteral("   and GCOLOR = ") + green, QStringLiteral("   and BCOLOR = ") + blue};
}

// A pair's statement as the log shows it, with the pair's values written in,
// and as it runs, with markers for them: prepared once for all pairs.
struct PairStatement {
    QStringList shown;
    QStringList marked;
    QVariantList values;
};

// The statement restricted to the pair's MASTER rows.
PairStatement OfPair(const QStringList &head, const QString &kpid, const QString &name, const QStringList &tail = {})
{
    return {head + QStringList{QStringLiteral("where PRODUCTID =") + kpid,
                               QStringLiteral("and   COLORNAME ='") + PairNameLiteral(name) + QLatin1Char('\'')} +
                tail,
            // A name wider than the column matches nothing, as its literal
            // would, instead of failing its conversion.
            head + QStringList{QStringLiteral("where PRODUCTID =?"),
                               QStringLiteral("and   COLORNAME =cast(? as varchar(8191) character set none)")} +
                tail,
            {kpid, name}};
}

// Points the query at the statement; its text as the log shows it.
QString PointAt(TIBQuery &query, const PairStatement &statement)
{
    SetStatement(query, statement.marked);
    query.Params = statement.values;
    return StatementText(statement.shown);
}

}  // namespace

int MasterImport::ColourId(const QString &red, const QString &green, const QString &blue)
{
    std::array<int, 3> channels{};
    bool plain = true;
    for (const auto &[text, channel] : {std::pair{&red, &channels[0]}, {&green, &channels[1]}, {&blue, &channels[2]}}) {
        bool ok = false;
        *channel = text->toInt(&ok);
        plain = plain && ok && QString::number(*channel) == *text;
    }
    if (!plain) {
        // Not a plain number (a missing channel, say): the statement decides,
        // errors included.
        SetStatement(lookup_, ColourLookup(red, green, blue));
        lookup_.OpenQuery();
        return lookup_.AtEnd() ? 0 : Field(lookup_, "COLORID").AsInteger();
    }
    if (!colours_) {
        std::unordered_map<std::array<int, 3>, int, ChannelsHash> colours;
        SetStatement(lookup_, {QStringLiteral("select COLORID, RCOLOR, GCOLOR, BCOLOR from RGBCOLORS")});
        lookup_.OpenQuery();
        TField &id = Field(lookup_, "COLORID");
        TField &r = Field(lookup_, "RCOLOR");
        TField &g = Field(lookup_, "GCOLOR");
        TField &b = Field(lookup_, "BCOLOR");
        for (; !lookup_.AtEnd(); lookup_.ToNextRow())
            if (!r.IsNull() && !g.IsNull() && !b.IsNull())
                colours.emplace(std::array<int, 3>{r.AsInteger(), g.AsInteger(), b.AsInteger()}, id.AsInteger());
        lookup_.CloseQuery();
        colours_ = std::move(colours);
    }
    const auto found = colours_->find(channels);
    return found == colours_->end() ? 0 : found->second;
}

void MasterImport::PutMasterInPairOrder()
{
    // The first rows as they lie: a pair met again after others does not
    // lie pair by pair.
    SetStatement(lookup_, {QStringLiteral("select first 10000 PRODUCTID, COLORNAME from MASTER")});
    lookup_.OpenQuery();
    TField &product = Field(lookup_, "PRODUCTID");
    TField &collection = Field(lookup_, "COLORNAME");
    int repeats = 0;   // rows of a pair seen before
    int returns = 0;   // of them, rows after another pair's
    QSet<QString> seen;
    QString last;
    for (; !lookup_.AtEnd(); lookup_.ToNextRow()) {
        QString pair = product.AsString() + QLatin1Char('\n') + WithoutTrailingBlanks(collection.AsString());
        if (seen.contains(pair)) {
            ++repeats;
            returns += pair != last;
        }
        seen.insert(pair);
        last = std::move(pair);
    }
    lookup_.CloseQuery();
    if (returns * 2 <= repeats)
        return;
    // A pair's rows spread over the whole table make each pair's delete
    // write pages all over the file at its commit. Written again pair by
    // pair, each pair's rows in their delivered order, all in one commit: a
    // run stopped before it leaves MASTER as it was.
    for (const QStringList &statement : MasterInPairOrder(Catalogue(MasterColumnsSelect()))) {
        SetStatement(lookup_, statement);
        lookup_.RunStatement();
    }
    Commit();
}

QString MasterColumnsSelect()
{
    return QStringLiteral(
        "select trim(rf.RDB$FIELD_NAME) from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = "
        "rf.RDB$FIELD_SOURCE where rf.RDB$RELATION_NAME = 'MASTER' and f.RDB$COMPUTED_BLR is null "
        "order by rf.RDB$FIELD_POSITION");
}

QList<QStringList> MasterInPairOrder(QStringList names)
{
    for (QString &name : names)
        name = QuotedIdentifier(name);
    const QString columns = names.join(QLatin1Char(','));
    // The engine's sort keeps no order among equal keys: the rows are
    // numbered as they lie first.
    return {{QStringLiteral("insert into MASTER (%1)").arg(columns),
             QStringLiteral("select %1 from (select MASTER.*, row_number() over () as TINTOREL_REIHE "
                            "from MASTER)")
                 .arg(columns),
             QStringLiteral("order by PRODUCTID, COLORNAME, TINTOREL_REIHE")},
            {QStringLiteral("delete from MASTER where RDB$RECORD_VERSION <> current_transaction")}};
}

void MasterImport::CreateTableKOMBIDATEN()
{
    TIBQuery &pairs = dm_.qrKollektionen;
    colours_.reset();
    observer_.Log(QStringLiteral("START CreateTableKOMBIDATEN"));
    PairRun run{pairs};
    // Shown while MASTER is put in pair order and the indexes are built.
    Status(QStringLiteral("SQL wird ausgeführt."));
    PutMasterInPairOrder();
    // The lookup indexes a rebuild switched off, built again before the
    // pairs read the lookups; also after a rebuild that was cut off.
    ActivateIndexes(false);
    EnsureImportIndexes();
    SetStatement(pairs, {QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'"), QStringLiteral("and KPID>0"),
                         QStringLiteral("order by KID")});
    observer_.Log(QStringLiteral("SQL: KOLLEKTIONEN ") + pairs.StatementText());
    pairs.OpenQuery();
    // All pending pairs at once: the progress counts them.
    pairs.ToLastRow();
    StartStep(QStringLiteral("Kombinationen"), pairs.RowCount());
    pairs.ToFirstRow();
    for (; !pairs.AtEnd(); ++done_) {
        BuildPair(run);
        pairs.ToNextRow();
    }
    Commit();
    // The combinations' indexes, built once from all rows.
    pairs.CloseQuery();
    ActivateIndexes(true);
    Status(QStringLiteral("Tabelle erstellt."));
}

void MasterImport::BuildPair(PairRun &run)
{
    ReadPair(run);
    // The guarded stretch: an error ends the pair's rows, not the run.
    bool consumed = false;
    try {
        BuildPairRows(run);
        ConsumePair(run);
        consumed = true;
    } catch (const EDatabaseError &e) {
        // Not the pair's own data: the run stops, the pair stays pending.
        if (FaultOf(e) != Fault::None)
            throw;
        PairFailed(run, e.Message());
    } catch (const Exception &e) {
        PairFailed(run, e.Message());
    }
    MarkPair(run, consumed);
}

void MasterImport::PairFailed(PairRun &run, const QString &message)
{
    observer_.ShowError(PairErrorText(message, run.debugPoint, run.p, run.k));
    ++failedPairs_;
    observer_.Log(QStringLiteral("Fehler im Paar Produkt-ID %1, Kollektions-ID %2: %3 - seine Datensätze bleiben in "
                                 "MASTER")
                      .arg(run.kpid, run.kid, message));
}

void MasterImport::ReadPair(PairRun &run)
{
    TIBQuery &kdaten = dm_.qrKDaten;
    run.withoutCombination = 0;
    run.kpid = Field(run.pairs, "KPID").AsString();
    run.kid = Field(run.pairs, "KID").AsString();
    run.name = WithoutTrailingBlanks(Field(run.pairs, "KNAME").AsString());

    Status(QStringLiteral("Tabelle wird geleert."));
    const QString deleteText =
        PointAt(kdaten, {{QStringLiteral("delete from KOMBIDATEN"), QStringLiteral("where K_PID = ") + run.kpid,
                          QStringLiteral("and   K_KID = ") + run.kid},
                         {QStringLiteral("delete from KOMBIDATEN"), QStringLiteral("where K_PID = ?"),
                          QStringLiteral("and   K_KID = ?")},
                         {run.kpid, run.kid}});
    observer_.Log(QStringLiteral("SQL: LÖSCHEN KOMBIDATEN ") + deleteText);
    // The previous pair's mark committed all before: a delete that found
    // nothing leaves nothing to commit.
    if (kdaten.RunStatement() > 0)
        Commit();
    SetStatement(kdaten, {QStringLiteral("select * from KOMBIDATEN where K_KID=0")});
    kdaten.OpenQuery();
    Status(QStringLiteral("SQL beendet."));
    run.masterRead = PointAt(dm_.qrMaster,
                             OfPair({QStringLiteral("select COLORNUMBER,COLORNAME,COLORNUMBER,PRODUCTID,BASENAME,RCOLOR,"
                                                    "GCOLOR,BCOLOR,FORMULADETAILSKEY,COSTCODE,FID,BASEID from MASTER,"
                                                    "FARBEN,BASEN")},
                                    run.kpid, run.name,
                                    {QStringLiteral("and   FNAME=COLORNUMBER"), QStringLiteral("and   BNAME=BASENAME")}));
    Status(QStringLiteral("MASTER wird geöffnet..."));
}

void MasterImport::BuildPairRows(PairRun &run)
{
    TIBQuery &master = dm_.qrMaster;
    Pump();
    observer_.Log(QStringLiteral("SQL: LESEN MASTER ") + run.masterRead);
    master.OpenQuery();
    master.ToLastRow();
    master.ToFirstRow();
    run.combined = master.RowCount();
    if (master.AtEnd())
        return;
    const CombinedColumns columns(run.pairs, master, dm_.qrKDaten);
    while (!master.AtEnd()) {
        BuildCombination(run, columns);
        run.debugPoint = QStringLiteral("#012");
        master.ToNextRow();
        run.debugPoint = QStringLiteral("#014");
    }
}

void MasterImport::ConsumePair(PairRun &run)
{
    Status(QStringLiteral("Lösche Datensätze Produkt-ID: (") + QString::number(run.p) + QLatin1Char(')'));
    run.debugPoint = QStringLiteral("#014");
    // The rows that found no shade or base go too: each is logged. Looked
    // for only when the pair has more rows than its join gave.
    PointAt(lookup_, OfPair({QStringLiteral("select count(*) from MASTER")}, run.kpid, run.name));
    lookup_.OpenQuery();
    const bool unmatched = lookup_.Fields().front().AsInteger() > run.combined;
    lookup_.CloseQuery();
    if (unmatched) {
        PointAt(lookup_,
                OfPair({QStringLiteral("select COLORNUMBER, BASENAME from MASTER")}, run.kpid, run.name,
                       {QStringLiteral("and   (not exists (select 1 from FARBEN where FNAME = COLORNUMBER)"),
                        QStringLiteral("or     not exists (select 1 from BASEN where BNAME = BASENAME))")}));
        lookup_.OpenQuery();
        for (; !lookup_.AtEnd(); lookup_.ToNextRow())
            RowWithoutCombination(run, Field(lookup_, "COLORNUMBER").AsString(), Field(lookup_, "BASENAME").AsString());
        lookup_.CloseQuery();
    }
    const QString deleteText = PointAt(lookup_, OfPair({QStringLiteral("delete from MASTER")}, run.kpid, run.name));
    Pump();
    observer_.Log(QStringLiteral("SQL:MASTER:DELETE ") + deleteText);
    lookup_.RunStatement();
    consumedRows_ += run.withoutCombination;
}

void MasterImport::MarkPair(PairRun &run, bool consumed)
{
    // The pair's MASTER delete and its mark become durable in one commit: a
    // run stopped in between can neither lose the pair's rows nor build them
    // twice.
    run.pairs.EditRow();
    Field(run.pairs, "KIMPORT").SetAsString(QStringLiteral("J"));
    run.pairs.PostRow();
    Commit();
    if (consumed)
        observer_.Log(QStringLiteral("Neue Datei nach Produkt-ID ") + QString::number(run.p));
}

void MasterImport::RowWithoutCombination(PairRun &run, const QString &shade, const QString &base)
{
    ++run.withoutCombination;
    observer_.Log(QStringLiteral("Ohne Kombination: Produkt-ID %1, Kollektions-ID %2, Farbton '%3', Base '%4'")
                      .arg(run.kpid, run.kid, shade, base));
}

void MasterImport::BuildCombination(PairRun &run, const CombinedColumns &c)
{
    TIBQuery &kdaten = dm_.qrKDaten;
    RowStatus([&] { return ProductText(run.p) + QLatin1Char(')'); });
    run.p = c.productId.AsInteger();
    run.debugPoint = QStringLiteral("#002");
    const int shadeId = c.shadeId.AsInteger();
    const int baseId = c.baseId.AsInteger();
    run.k = c.kid.AsInteger();
    const QString red = c.red.AsString();
    const QString green = c.green.AsString();
    const QString blue = c.blue.AsString();
    RowStatus([&] {
        return ProductText(run.p) + QStringLiteral(") Hole RGB-ID für ") + red + QLatin1Char('/') + green +
               QLatin1Char('/') + blue;
    });
    const QStringList lookup = ColourLookup(red, green, blue);
    observer_.Log(QStringLiteral("SQL: RGBCOLORS ") + lookup.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    const int colorId = ColourId(red, green, blue);
    run.debugPoint = colorId > 0 ? QStringLiteral("#006.b") : QStringLiteral("#006");

    if (run.k < 1 || shadeId < 1 || run.p < 1 || colorId < 1 || baseId < 1) {
        observer_.ShowError(QStringLiteral("FEHLER!"));
        RowWithoutCombination(run, c.shade.AsString(), c.base.AsString());
    } else {
        RowStatus([&] { return ProductText(run.p) + QStringLiteral(") Schreibe Kombidatensatu "); });
        kdaten.AppendRow();
        run.debugPoint = QStringLiteral("#007");
        c.kKid.SetAsInteger(run.k);
        c.kFid.SetAsInteger(shadeId);
        c.kPid.SetAsInteger(run.p);
        c.kColorId.SetAsInteger(colorId);
        c.kBaseId.SetAsInteger(baseId);
        c.kFdetId.SetAsInteger(c.notice.AsInteger());
        c.kCost.SetAsInteger(c.cost.AsInteger());
        run.debugPoint = QStringLiteral("#008");
        kdaten.PostRow();
        run.debugPoint = QStringLiteral("#009");
        ++run.written;
    }
    if (run.written % 50 == 0)
        run.debugPoint = QStringLiteral("#010");
    PumpWhenDue();
    if (run.written == 100) {
        run.debugPoint = QStringLiteral("#011");
        Commit();
        run.written = 0;
    }
}
