#include "data/fmdm1.h"

#include "data/credentials.h"
#include "data/sql.h"

Tfmdm *fmdm = nullptr;

const QString Tfmdm::DefaultDatabaseName =
    QStringLiteral("localhost:/var/lib/tintorel/Daten/QELMPREISE.fdb");

namespace {

// "  A = :A," lines: each column compared with or set to its parameter, the
// lines joined by what follows them, the last one bare.
QStringList Assignments(const QStringList &columns, const QString &prefix, const QString &joiner)
{
    QStringList lines;
    for (const QString &column : columns)
        lines << QStringLiteral("  ") + column + QStringLiteral(" = :") + prefix + column + joiner;
    if (!lines.isEmpty())
        lines.last().chop(joiner.size());
    return lines;
}

QStringList Listed(const QStringList &columns, const QString &prefix)
{
    QStringList named;
    for (const QString &column : columns)
        named << prefix + column;
    return named;
}

}  // namespace

void SetUpdateStatements(TIBUpdateSQL &update, const QString &table, const QStringList &columns,
                         const QStringList &key)
{
    const QString comma = QStringLiteral(",");
    const QString andNext = QStringLiteral(" and");
    update.InsertSQL = QStringList{QStringLiteral("insert into ") + table,
                                   QStringLiteral("  (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')'),
                                   QStringLiteral("values"),
                                   QStringLiteral("  (") + Listed(columns, QStringLiteral(":")).join(QStringLiteral(", ")) +
                                       QLatin1Char(')')};
    update.ModifySQL = QStringList{QStringLiteral("update ") + table, QStringLiteral("set")} +
                       Assignments(columns, QString(), comma) + QStringList{QStringLiteral("where")} +
                       Assignments(key, QStringLiteral("OLD_"), andNext);
    update.DeleteSQL = QStringList{QStringLiteral("delete from ") + table, QStringLiteral("where")} +
                       Assignments(key, QStringLiteral("OLD_"), andNext);
    QStringList selected = Listed(columns, QStringLiteral("  "));
    for (qsizetype i = 0; i + 1 < selected.size(); ++i)
        selected[i] += comma;
    update.RefreshSQL = QStringList{QStringLiteral("Select ")} + selected +
                        QStringList{QStringLiteral("from ") + table + QLatin1Char(' '), QStringLiteral("where")} +
                        Assignments(key, QString(), andNext);
}

#define QUERY(name) name(QStringLiteral(#name), &ib1, &ibTa1)

Tfmdm::Tfmdm()
    : ib1(QStringLiteral("ib1")),
      ibTa1(&ib1, QStringLiteral("ibTa1")),
      QUERY(qrProdukte_S),
      QUERY(qrFarben_S),
      QUERY(qrS),
      QUERY(qrFORMULADETAILS),
      QUERY(qrKollektionen),
      QUERY(qrMaster),
      QUERY(qrFarben),
      QUERY(qrRGBColors),
      QUERY(qrBasen),
      QUERY(qrKDaten),
      QUERY(qrProdukte),
      QUERY(qrKollektionen_S),
      QUERY(qrMaster_S),
      QUERY(qrProdukte_Kollektionen),
      QUERY(qrRGBColors_S),
      QUERY(qrBasen_S),
      QUERY(qrK1),
      QUERY(qrK2)
{
    ib1.DatabaseName = DefaultDatabaseName;
    ib1.Params = AdministratorParams;
    ib1.DefaultTransaction = &ibTa1;

    const std::initializer_list<std::pair<TIBQuery *, const char *>> stored{
        {&qrS, "select * from RGBCOLORS"},
        {&qrKollektionen, "select * from KOLLEKTIONEN"},
        {&qrMaster, "select  *  from MASTER"},
        {&qrFarben, "select * from FARBEN"},
        {&qrRGBColors, "select * from RGBCOLORS"},
        {&qrBasen, "select * from BASEN"},
        {&qrKDaten, "select * from KOMBIDATEN"},
        {&qrProdukte_Kollektionen, "select * from PRODUKTE_KOLLEKTIONEN"},
        {&qrRGBColors_S, "select * from RGBCOLORS"},
        {&qrBasen_S, "select * from BASEN"},
        {&qrK1, "select * from RGBCOLORS"},
        {&qrK2, "select * from RGBCOLORS"},
    };
    for (const auto &[query, line] : stored)
        query->AddLine(QString::fromLatin1(line));

    const QStringList masterColumns{"COLORNAME", "COLORNUMBER", "MFGPRODUCTNAME", "PRODUCTID", "RCOLOR",
                                    "GCOLOR",    "BCOLOR",      "BASENAME",       "FORMULADETAILSKEY", "COSTCODE"};
    const QStringList kombiColumns{"K_FID", "K_KID", "K_PID", "K_COLORID", "K_BASEID", "K_FDETID", "K_COST"};
    const std::initializer_list<std::tuple<TIBQuery *, TIBUpdateSQL *, const char *, QStringList, QStringList>>
        updated{
            {&qrFarben, &qrFarben_U, "FARBEN", {"FID", "FNAME"}, {"FID"}},
            {&qrBasen, &qrBasen_U, "BASEN", {"BASEID", "BNAME"}, {"BASEID"}},
            {&qrRGBColors, &qrRGBColors_U, "RGBCOLORS", {"COLORID", "RCOLOR", "GCOLOR", "BCOLOR"}, {"COLORID"}},
            {&qrKollektionen, &qrKollektionen_U, "KOLLEKTIONEN", {"KPID", "KID", "KNAME", "KIMPORT"}, {"KPID", "KID"}},
            {&qrKDaten, &qrKDaten_U, "KOMBIDATEN", kombiColumns, kombiColumns.mid(0, 3)},
            // MASTER is never written through a query; keyed on all ten columns.
            {&qrMaster, &qrMaster_U, "MASTER", masterColumns, masterColumns},
        };
    for (const auto &[query, update, table, columns, key] : updated) {
        query->UpdateObject = update;
        SetUpdateStatements(*update, QString::fromLatin1(table), columns, key);
    }
}

#undef QUERY

Tfmdm::~Tfmdm() = default;
