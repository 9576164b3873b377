#include "support/testsupport.h"

#include "data/ib.h"
#include "tools/demodata.h"

#include <QDir>

#include <stdexcept>

TempProgramFolder::TempProgramFolder()
{
    if (!dir_.isValid() || !QDir(dir_.path()).mkpath(QStringLiteral("Daten")))
        throw std::runtime_error("temporary program folder could not be made");
}

QString TempProgramFolder::path() const
{
    return dir_.path();
}

QString TempProgramFolder::daten() const
{
    return dir_.path() + QStringLiteral("/Daten");
}

QString TempProgramFolder::databasePath() const
{
    return daten() + QStringLiteral("/QELMPREISE.fdb");
}

void CreateEmptyDatabase(const QString &path, int dialect)
{
    CreateDatabase(path, dialect);
}

namespace {

// A connection of its own, as an administrator.
struct Connection {
    TIBDatabase db;
    TIBTransaction tr{&db};
    TIBQuery query{QStringLiteral("qrTest"), &db, &tr};
    explicit Connection(const QString &path)
    {
        db.DatabaseName = path;
        db.Params = QStringList{QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=pendoxilu"),
                                QStringLiteral("lc_ctype=ASCII")};
        db.DefaultTransaction = &tr;
        db.SetConnected(true);
        tr.SetActive(true);
    }
};

}  // namespace

void RunSql(const QString &path, const QStringList &statements)
{
    Connection c(path);
    for (const QString &statement : statements) {
        c.query.ClearLines();
        c.query.AddLine(statement);
        c.query.RunStatement();
        // Schema changes must be committed before the next statement uses them.
        c.tr.CommitRetaining();
    }
    c.tr.Commit();
}

QList<QStringList> QueryRows(const QString &path, const QString &select)
{
    Connection c(path);
    c.query.AddLine(select);
    c.query.OpenQuery();
    QList<QStringList> rows;
    while (!c.query.AtEnd()) {
        QStringList row;
        for (const TField &field : c.query.Fields())
            row << field.AsString();
        rows << row;
        c.query.ToNextRow();
    }
    return rows;
}

void CreateDeliveredSchema(const QString &path)
{
    RunSql(path, DeliveredSchemaStatements());
}

void CreateImportedSchema(const QString &path)
{
    QStringList statements = DeliveredSchemaStatements();
    statements << QStringLiteral("ALTER TABLE KOLLEKTIONEN ADD KIMPORT VARCHAR(1) CHARACTER SET ASCII COLLATE ASCII")
               << QStringLiteral("CREATE TABLE FARBEN (FID INTEGER, FNAME VARCHAR(50))")
               << QStringLiteral("CREATE TABLE BASEN (BASEID INTEGER, BNAME VARCHAR(10))")
               << QStringLiteral("CREATE TABLE RGBCOLORS (COLORID INTEGER NOT NULL, RCOLOR INTEGER, "
                                 "GCOLOR INTEGER, BCOLOR INTEGER)")
               << QStringLiteral("CREATE TABLE KOMBIDATEN (K_FID INTEGER, K_KID INTEGER, K_PID INTEGER, "
                                 "K_COLORID INTEGER, K_BASEID INTEGER, K_FDETID INTEGER, K_COST INTEGER)");
    RunSql(path, statements);
}
