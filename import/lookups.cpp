// The lookup tables and the collections, rebuilt from the distinct values of
// MASTER with dense ids in sort order.
#include "import/masterimport.h"

#include "data/fmdm1.h"
#include "data/sql.h"
#include "import/importobserver.h"

namespace {

constexpr int kRowsPerCommit = 500;

QString CollectionRowText(int n)
{
    return QStringLiteral("Erstelle KOLLEKTIONEN-Satz: ") + QString::number(n);
}

// The distinct values of MASTER's columns, in their order.
QStringList DistinctMasterValues(const QString &columns)
{
    return {QStringLiteral("select ") + columns + QStringLiteral(" from MASTER"), QStringLiteral("group by ") + columns,
            QStringLiteral("order by ") + columns};
}

}  // namespace

// One lookup table and how its builder differs from the others.
struct MasterImport::LookupBuild {
    QString step;    // the progress bar's name of the step
    QString column;  // the source column list, also the grouping and the order
    TIBQuery &target;
    QString table;
    QString rowText;
    QString passText;
    std::function<void(TIBQuery &target, TIBQuery &source, int id)> assign;
    bool frontAtStart;
    bool pumpBeforeCommit;
    bool pumpAfterCommit;
};

void MasterImport::BuildLookup(const LookupBuild &build)
{
    TIBQuery &source = dm_.qrMaster;
    TIBQuery &target = build.target;
    StartStep(build.step);
    Pump();
    if (build.frontAtStart)
        observer_.BringToFront();
    int commitCounter = 0;
    int passCounter = 0;
    Status(QStringLiteral("SQL wird ausgeführt."));

    SetStatement(source, DistinctMasterValues(build.column));
    source.OpenQuery();
    CountRows(source);
    Status(QStringLiteral("SQL beendet."));
    Status(QStringLiteral("Tabelle wird geleert."));

    // Durable together with the first batch of new rows.
    SetStatement(target, {QStringLiteral("delete from ") + build.table});
    target.RunStatement();
    Status(QStringLiteral("Tabelle wird geöffnet."));
    SetStatement(target, {QStringLiteral("select * from ") + build.table, QStringLiteral(" where 1=0")});
    target.OpenQuery();

    int id = 1;
    while (!source.AtEnd()) {
        RowStatus([&] { return build.rowText + QString::number(id); });
        target.AppendRow();
        build.assign(target, source, id);
        target.PostRow();
        done_ = id++;
        PumpWhenDue();
        if (++commitCounter == kRowsPerCommit) {
            Commit();
            commitCounter = 0;
            Status(build.passText + QString::number(passCounter));
            Pump();
        }
        ++passCounter;
        source.ToNextRow();
    }

    if (build.pumpBeforeCommit)
        Pump();
    Commit();
    if (build.pumpAfterCommit)
        Pump();
    Status(QStringLiteral("Tabelle erstellt."));
}

void MasterImport::CreateTableRGBCOLORS()
{
    BuildLookup({QStringLiteral("RGB-Farben"), QStringLiteral("RCOLOR,GCOLOR,BCOLOR"), dm_.qrRGBColors,
                 QStringLiteral("RGBCOLORS"), QStringLiteral("Erstelle RGB-Farbsatz: "),
                 QStringLiteral("Durchlauf RGB Colors: "),
                 [](TIBQuery &target, TIBQuery &source, int id) {
                     Field(target, "COLORID").SetAsInteger(id);
                     for (const char *channel : {"RCOLOR", "GCOLOR", "BCOLOR"})
                         Field(target, channel).SetAsInteger(Field(source, channel).AsInteger());
                 },
                 false, true, true});
}

void MasterImport::CreateTableBASEN()
{
    BuildLookup({QStringLiteral("Basen"), QStringLiteral("BASENAME"), dm_.qrBasen, QStringLiteral("BASEN"),
                 QStringLiteral("Erstelle BASE-Satz:"), QStringLiteral("Durchlauf Basen: "),
                 [](TIBQuery &target, TIBQuery &source, int id) {
                     Field(target, "BASEID").SetAsInteger(id);
                     Field(target, "BNAME").SetAsString(Field(source, "BASENAME").AsString());
                 },
                 true, false, true});
}

void MasterImport::CreateTableFARBEN()
{
    BuildLookup({QStringLiteral("Farbtöne"), QStringLiteral("COLORNUMBER"), dm_.qrFarben, QStringLiteral("FARBEN"),
                 QStringLiteral("Erstelle FARBE-Satz: "), QStringLiteral("Durchlauf FARBEN: "),
                 [](TIBQuery &target, TIBQuery &source, int id) {
                     Field(target, "FNAME").SetAsString(Field(source, "COLORNUMBER").AsString());
                     Field(target, "FID").SetAsInteger(id);
                 },
                 false, false, false});
}

void MasterImport::OpenCollectionSource(const QString &columns)
{
    SetStatement(dm_.qrMaster, DistinctMasterValues(columns));
    dm_.qrMaster.OpenQuery();
    CountRows(dm_.qrMaster);
    Status(QStringLiteral("SQL wurde ausgeführt."));
    SetStatement(dm_.qrKollektionen, {QStringLiteral("select * from KOLLEKTIONEN")});
    dm_.qrKollektionen.OpenQuery();
}

void MasterImport::AppendCollectionRow(int kid, const QString &kpid, const QString &name, const QString &mark)
{
    TIBQuery &target = dm_.qrKollektionen;
    target.AppendRow();
    Field(target, "KID").SetAsInteger(kid);
    Field(target, "KPID").SetAsString(kpid);
    Field(target, "KNAME").SetAsString(name);
    Field(target, "KIMPORT").SetAsString(mark);
    target.PostRow();
}

QHash<QString, int> MasterImport::WriteCollectionRows()
{
    TIBQuery &master = dm_.qrMaster;
    OpenCollectionSource(QStringLiteral("COLORNAME"));
    // The collection ids by name, for the second pass: a name that does not
    // fit into KNAME was stored cut and so is found by no pair.
    QHash<QString, int> ids;
    const int width = Field(dm_.qrKollektionen, "KNAME").Width;
    for (int id = 1; !master.AtEnd(); ++id) {
        done_ = id;
        RowStatus([id] { return CollectionRowText(id); });
        const QString name = Field(master, "COLORNAME").AsString();
        AppendCollectionRow(id, QStringLiteral("0"), name, QStringLiteral("J"));
        const QString key = WithoutTrailingBlanks(name);
        if (width <= 0 || WithoutTrailingBlanks(name.left(width)) == key) {
            ids.insert(key, id);
        } else {
            ++uncollected_;
            observer_.Log(QStringLiteral("Kollektion länger als %1 Zeichen, ihre Datensätze bleiben in MASTER: '%2'")
                              .arg(width)
                              .arg(name));
        }
        PumpWhenDue();
        master.ToNextRow();
    }
    return ids;
}

void MasterImport::WritePairRows(const QHash<QString, int> &ids)
{
    TIBQuery &master = dm_.qrMaster;
    OpenCollectionSource(QStringLiteral("COLORNAME,PRODUCTID"));
    for (int row = 1; !master.AtEnd(); ++row) {
        done_ = row;
        RowStatus([row] { return CollectionRowText(row); });
        const QString name = Field(master, "COLORNAME").AsString();
        const auto found = ids.constFind(WithoutTrailingBlanks(name));
        if (found != ids.cend())
            AppendCollectionRow(*found, Field(master, "PRODUCTID").AsString(), name, QStringLiteral("N"));
        PumpWhenDue();
        master.ToNextRow();
    }
}

void MasterImport::CreateTableKOLLEKTIONEN()
{
    StartStep(QStringLiteral("Kollektionen"));
    Status(QStringLiteral("SQL wird ausgeführt."));
    Pump();
    SetStatement(dm_.qrKollektionen, {QStringLiteral("delete from KOLLEKTIONEN")});
    dm_.qrKollektionen.RunStatement();
    // Until the second pass is durable no pair is pending: the mark keeps the
    // unfinished rebuild visible to the start-up check.
    WriteRebuildMark();
    const QHash<QString, int> ids = WriteCollectionRows();
    Commit();

    Status(QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen"));
    Pump();
    Status(QStringLiteral("SQL wird ausgeführt."));
    WritePairRows(ids);
    // The pending pairs take over from the mark in the same commit.
    SetStatement(lookup_, {QStringLiteral("delete from KOLLEKTIONEN"), QStringLiteral("where KPID = -2")});
    lookup_.RunStatement();
    Commit();
}
