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

void RunSql(const QString &path, const QStringList &statements)
{
    AdminConnection c(path);
    for (const QString &statement : statements)
        c.Run(statement);
    c.tr.Commit();
}

QList<QStringList> QueryRows(const QString &path, const QString &select)
{
    return AdminConnection(path).Rows(select);
}

int QueryInt(const QString &path, const QString &select)
{
    return QueryRows(path, select).at(0).at(0).toInt();
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
