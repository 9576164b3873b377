// The lookup tables and the collections, rebuilt from the distinct values of
// MASTER with dense ids in sort order.
#include "import/import.h"
#include "import/importsteps.h"

#include "data/fmdm1.h"
#include "search/searchlists.h"
#include "ui/fmHaupt.h"

#include <functional>

namespace {

// One lookup table and how its builder differs from the others.
struct LookupBuild {
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

constexpr int kRowsPerCommit = 500;

void BuildLookup(TfmHaupt1 &window, const LookupBuild &build)
{
    TIBQuery &source = fmdm->qrMaster;
    TIBQuery &target = build.target;
    window.ProcessPendingMessages();
    if (build.frontAtStart)
        BringToFront(window);
    int commitCounter = 0;
    int passCounter = 0;
    ShowStatus(window, QStringLiteral("SQL wird ausgeführt."));

    SetStatement(source, {QStringLiteral("select ") + build.column + QStringLiteral(" from MASTER"),
                          QStringLiteral("group by ") + build.column, QStringLiteral("order by ") + build.column});
    source.OpenQuery();
    ShowStatus(window, QStringLiteral("SQL beendet."));
    ShowStatus(window, QStringLiteral("Tabelle wird geleert."));

    // Durable together with the first batch of new rows.
    SetStatement(target, {QStringLiteral("delete from ") + build.table});
    target.RunStatement();
    ShowStatus(window, QStringLiteral("Tabelle wird geöffnet."));
    SetStatement(target, {QStringLiteral("select * from ") + build.table, QStringLiteral(" where 1=0")});
    target.OpenQuery();

    int id = 1;
    while (!source.AtEnd()) {
        ShowStatus(window, build.rowText + QString::number(id));
        target.AppendRow();
        build.assign(target, source, id);
        target.PostRow();
        ++id;
        if (++commitCounter == kRowsPerCommit) {
            fmdm->ibTa1.CommitRetaining();
            commitCounter = 0;
            ShowStatus(window, build.passText + QString::number(passCounter));
            window.ProcessPendingMessages();
        }
        ++passCounter;
        source.ToNextRow();
    }

    if (build.pumpBeforeCommit)
        window.ProcessPendingMessages();
    fmdm->ibTa1.CommitRetaining();
    if (build.pumpAfterCommit)
        window.ProcessPendingMessages();
    ShowStatus(window, QStringLiteral("Tabelle erstellt."));
}

}  // namespace

void TfmHaupt1::CreateTableRGBCOLORS()
{
    BuildLookup(*this, {QStringLiteral("RCOLOR,GCOLOR,BCOLOR"), fmdm->qrRGBColors, QStringLiteral("RGBCOLORS"),
                        QStringLiteral("Erstelle RGB-Farbsatz: "), QStringLiteral("Durchlauf RGB Colors: "),
                        [](TIBQuery &target, TIBQuery &source, int id) {
                            Field(target, "COLORID").SetAsInteger(id);
                            for (const char *channel : {"RCOLOR", "GCOLOR", "BCOLOR"})
                                Field(target, channel).SetAsInteger(Field(source, channel).AsInteger());
                        },
                        false, true, true});
}

void TfmHaupt1::CreateTableBASEN()
{
    BuildLookup(*this, {QStringLiteral("BASENAME"), fmdm->qrBasen, QStringLiteral("BASEN"),
                        QStringLiteral("Erstelle BASE-Satz:"), QStringLiteral("Durchlauf Basen: "),
                        [](TIBQuery &target, TIBQuery &source, int id) {
                            Field(target, "BASEID").SetAsInteger(id);
                            Field(target, "BNAME").SetAsString(Field(source, "BASENAME").AsString());
                        },
                        true, false, true});
}

void TfmHaupt1::CreateTableFARBEN()
{
    BuildLookup(*this, {QStringLiteral("COLORNUMBER"), fmdm->qrFarben, QStringLiteral("FARBEN"),
                        QStringLiteral("Erstelle FARBE-Satz: "), QStringLiteral("Durchlauf FARBEN: "),
                        [](TIBQuery &target, TIBQuery &source, int id) {
                            Field(target, "FNAME").SetAsString(Field(source, "COLORNUMBER").AsString());
                            Field(target, "FID").SetAsInteger(id);
                        },
                        false, false, false});
}

void TfmHaupt1::CreateTableKOLLEKTIONEN()
{
    Tfmdm &dm = *fmdm;
    TIBQuery &master = dm.qrMaster;
    TIBQuery &target = dm.qrKollektionen;
    const auto pointAtTable = [&target] {
        SetStatement(target, {QStringLiteral("select * from KOLLEKTIONEN")});
        target.OpenQuery();
    };

    ShowStatus(*this, QStringLiteral("SQL wird ausgeführt."));
    ProcessPendingMessages();
    SetStatement(target, {QStringLiteral("delete from KOLLEKTIONEN")});
    target.RunStatement();
    // Until the second pass is durable no pair is pending: the mark keeps the
    // unfinished rebuild visible to the start-up check.
    WriteRebuildMark(target);

    SetStatement(master, {QStringLiteral("select COLORNAME from MASTER"), QStringLiteral("group by COLORNAME"),
                          QStringLiteral("order by COLORNAME")});
    master.OpenQuery();
    ShowStatus(*this, QStringLiteral("SQL wurde ausgeführt."));
    pointAtTable();
    for (int id = 1; !master.AtEnd(); ++id) {
        ShowStatus(*this, QStringLiteral("Erstelle KOLLEKTIONEN-Satz: ") + QString::number(id));
        target.AppendRow();
        Field(target, "KID").SetAsInteger(id);
        Field(target, "KPID").SetAsString(QStringLiteral("0"));
        Field(target, "KNAME").SetAsString(Field(master, "COLORNAME").AsString());
        Field(target, "KIMPORT").SetAsString(QStringLiteral("J"));
        target.PostRow();
        master.ToNextRow();
    }
    dm.ibTa1.CommitRetaining();

    ShowStatus(*this, QStringLiteral("Erzeuge Vorwärtssuche: Kollektionen"));
    ProcessPendingMessages();
    ShowStatus(*this, QStringLiteral("SQL wird ausgeführt."));
    SetStatement(master, {QStringLiteral("select COLORNAME,PRODUCTID from MASTER"),
                          QStringLiteral("group by COLORNAME,PRODUCTID"),
                          QStringLiteral("order by COLORNAME,PRODUCTID")});
    master.OpenQuery();
    ShowStatus(*this, QStringLiteral("SQL wurde ausgeführt."));
    pointAtTable();
    TIBQuery &lookup = dm.qrS;
    for (int row = 1; !master.AtEnd(); ++row) {
        ShowStatus(*this, QStringLiteral("Erstelle KOLLEKTIONEN-Satz: ") + QString::number(row));
        const QString name = Field(master, "COLORNAME").AsString();
        SetStatement(lookup, {QStringLiteral("select * from KOLLEKTIONEN"),
                              QStringLiteral("where KNAME = '") + DoubleQuotes(name) + QLatin1Char('\''),
                              QStringLiteral("and   KPID = 0")});
        lookup.OpenQuery();
        if (!lookup.AtEnd()) {
            target.AppendRow();
            Field(target, "KID").SetAsInteger(Field(lookup, "KID").AsInteger());
            Field(target, "KPID").SetAsString(Field(master, "PRODUCTID").AsString());
            Field(target, "KNAME").SetAsString(name);
            Field(target, "KIMPORT").SetAsString(QStringLiteral("N"));
            target.PostRow();
        }
        master.ToNextRow();
    }
    // The pending pairs take over from the mark in the same commit.
    RemoveRebuildMark(lookup);
    dm.ibTa1.CommitRetaining();
}
