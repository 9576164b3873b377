// The combination builder: works through the pending product-collection
// pairs, writes their combinations and consumes their MASTER rows.
#include "import/import.h"
#include "import/importsteps.h"

#include "app/msgbox.h"
#include "data/fmdm1.h"
#include "search/searchlists.h"
#include "ui/fmHaupt.h"

QString PairNameLiteral(const QString &kname)
{
    qsizetype end = kname.size();
    while (end > 0 && kname.at(end - 1) == QLatin1Char(' '))
        --end;
    return DoubleQuotes(kname.left(end));
}

QString PairErrorText(const QString &message, const QString &debugPoint, int productId, int collectionId)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Fehler: ") + message + crlf + crlf + QStringLiteral("Debug-Point: ") + debugPoint + crlf +
           QStringLiteral(" Produkt-ID: ") + QString::number(productId) + crlf + QStringLiteral(" Kollektions-ID: ") +
           QString::number(collectionId) + crlf;
}

void TfmHaupt1::CreateTableKOMBIDATEN()
{
    Tfmdm &dm = *fmdm;
    TIBQuery &pairs = dm.qrKollektionen;
    TIBQuery &kdaten = dm.qrKDaten;
    TIBQuery &master = dm.qrMaster;
    TIBQuery &lookup = dm.qrS;
    const auto productText = [](int p) { return QStringLiteral("Datensatz Produkt-ID: (") + QString::number(p); };

    WriteLog(QStringLiteral("START CreateTableKOMBIDATEN"));
    int written = 0;  // rows posted since the last 100-row commit, across pairs
    int p = 0;
    int k = 0;
    QString debugPoint = QStringLiteral("#001");
    ShowStatus(*this, QStringLiteral("SQL wird ausgeführt."));
    SetStatement(pairs, {QStringLiteral("select * from KOLLEKTIONEN where KIMPORT<>'J'"), QStringLiteral("and KPID>0"),
                         QStringLiteral("order by KID")});
    WriteLog(QStringLiteral("SQL: KOLLEKTIONEN ") + pairs.StatementText());
    pairs.OpenQuery();
    pairs.ToFirstRow();

    while (!pairs.AtEnd()) {
        const QString kpid = Field(pairs, "KPID").AsString();
        const QString kid = Field(pairs, "KID").AsString();
        const QString name = PairNameLiteral(Field(pairs, "KNAME").AsString());

        ShowStatus(*this, QStringLiteral("Tabelle wird geleert."));
        SetStatement(kdaten, {QStringLiteral("delete from KOMBIDATEN"), QStringLiteral("where K_PID = ") + kpid,
                              QStringLiteral("and   K_KID = ") + kid});
        WriteLog(QStringLiteral("SQL: LÖSCHEN KOMBIDATEN ") + kdaten.StatementText());
        kdaten.RunStatement();
        dm.ibTa1.CommitRetaining();
        SetStatement(kdaten, {QStringLiteral("select * from KOMBIDATEN where K_KID=0")});
        kdaten.OpenQuery();
        ShowStatus(*this, QStringLiteral("SQL beendet."));
        SetStatement(master, {QStringLiteral("select COLORNUMBER,COLORNAME,COLORNUMBER,PRODUCTID,BASENAME,RCOLOR,"
                                             "GCOLOR,BCOLOR,FORMULADETAILSKEY,COSTCODE,FID,BASEID from MASTER,FARBEN,"
                                             "BASEN"),
                              QStringLiteral("where PRODUCTID =") + kpid,
                              QStringLiteral("and   COLORNAME ='") + name + QLatin1Char('\''),
                              QStringLiteral("and   FNAME=COLORNUMBER"), QStringLiteral("and   BNAME=BASENAME")});
        ShowStatus(*this, QStringLiteral("MASTER wird geöffnet..."));

        bool masterDeleted = false;
        try {
            ProcessPendingMessages();
            WriteLog(QStringLiteral("SQL: LESEN MASTER ") + master.StatementText());
            master.OpenQuery();
            master.ToLastRow();
            master.ToFirstRow();
            while (!master.AtEnd()) {
                ShowStatus(*this, productText(p) + QLatin1Char(')'));
                p = Field(master, "PRODUCTID").AsInteger();
                debugPoint = QStringLiteral("#002");
                const int shadeId = Field(master, "FID").AsInteger();
                const int baseId = Field(master, "BASEID").AsInteger();
                k = Field(pairs, "KID").AsInteger();
                int colorId = 0;
                const QString red = Field(master, "RCOLOR").AsString();
                const QString green = Field(master, "GCOLOR").AsString();
                const QString blue = Field(master, "BCOLOR").AsString();
                SetStatement(lookup, {QStringLiteral("select * from RGBCOLORS"),
                                      QStringLiteral(" where RCOLOR = ") + red,
                                      QStringLiteral("   and GCOLOR = ") + green,
                                      QStringLiteral("   and BCOLOR = ") + blue});
                ShowStatus(*this, productText(p) + QStringLiteral(") Hole RGB-ID für ") + red + QLatin1Char('/') +
                                      green + QLatin1Char('/') + blue);
                WriteLog(QStringLiteral("SQL: RGBCOLORS ") + lookup.StatementText());
                lookup.OpenQuery();
                lookup.ToFirstRow();
                debugPoint = QStringLiteral("#006");
                if (!lookup.AtEnd()) {
                    debugPoint = QStringLiteral("#006.b");
                    colorId = Field(lookup, "COLORID").AsInteger();
                }

                if (k < 1 || shadeId < 1 || p < 1 || colorId < 1 || baseId < 1) {
                    ShowError(QStringLiteral("FEHLER!"));
                } else {
                    ShowStatus(*this, productText(p) + QStringLiteral(") Schreibe Kombidatensatu "));
                    kdaten.AppendRow();
                    debugPoint = QStringLiteral("#007");
                    Field(kdaten, "K_KID").SetAsInteger(k);
                    Field(kdaten, "K_FID").SetAsInteger(shadeId);
                    Field(kdaten, "K_PID").SetAsInteger(p);
                    Field(kdaten, "K_COLORID").SetAsInteger(colorId);
                    Field(kdaten, "K_BASEID").SetAsInteger(baseId);
                    Field(kdaten, "K_FDETID").SetAsInteger(Field(master, "FORMULADETAILSKEY").AsInteger());
                    Field(kdaten, "K_COST").SetAsInteger(Field(master, "COSTCODE").AsInteger());
                    debugPoint = QStringLiteral("#008");
                    kdaten.PostRow();
                    debugPoint = QStringLiteral("#009");
                    ++written;
                }
                if (written % 50 == 0) {
                    ProcessPendingMessages();
                    debugPoint = QStringLiteral("#010");
                }
                if (written == 100) {
                    debugPoint = QStringLiteral("#011");
                    dm.ibTa1.CommitRetaining();
                    written = 0;
                }
                debugPoint = QStringLiteral("#012");
                master.ToNextRow();
                debugPoint = QStringLiteral("#014");
            }

            ShowStatus(*this, QStringLiteral("Lösche Datensätze Produkt-ID: (") + QString::number(p) +
                                  QLatin1Char(')'));
            debugPoint = QStringLiteral("#014");
            SetStatement(lookup, {QStringLiteral("delete from MASTER"), QStringLiteral("where PRODUCTID =") + kpid,
                                  QStringLiteral("and   COLORNAME ='") + name + QLatin1Char('\'')});
            ProcessPendingMessages();
            WriteLog(QStringLiteral("SQL:MASTER:DELETE ") + lookup.StatementText());
            lookup.RunStatement();
            masterDeleted = true;
        } catch (const Exception &e) {
            ShowError(PairErrorText(e.Message(), debugPoint, p, k));
        }

        // The pair's MASTER delete and its mark become durable in one commit:
        // a run stopped in between can neither lose the pair's rows nor
        // build them twice.
        pairs.EditRow();
        Field(pairs, "KIMPORT").SetAsString(QStringLiteral("J"));
        pairs.PostRow();
        dm.ibTa1.CommitRetaining();
        if (masterDeleted)
            WriteLog(QStringLiteral("Neue Datei nach Produkt-ID ") + QString::number(p));
        pairs.ToNextRow();
    }

    dm.ibTa1.CommitRetaining();
    ShowStatus(*this, QStringLiteral("Tabelle erstellt."));
}
