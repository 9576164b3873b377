#include "support/testsupport.h"

#include "data/credentials.h"
#include "data/ib.h"
#include "tools/demodata.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

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

QStringList ValidationErrors(const QString &path)
{
    // A copy: validation needs the file to itself, and must not mend it.
    QTemporaryDir dir;
    const QString copy = dir.path() + QStringLiteral("/validated.fdb");
    if (!dir.isValid() || !QFile::copy(path, copy))
        return {QStringLiteral("no copy of %1").arg(path)};
    QProcess gfix;
    gfix.setProcessChannelMode(QProcess::MergedChannels);
    gfix.start(QStringLiteral("gfix"), {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"),
                                        AdministratorUser, copy});
    if (!gfix.waitForFinished(120000) || gfix.exitStatus() != QProcess::NormalExit)
        return {QStringLiteral("gfix did not finish")};
    const QString output = QString::fromLocal8Bit(gfix.readAll());
    static const QRegularExpression counted(QStringLiteral("Number of ([\\w ]+ errors)\\s*:\\s*(\\d+)"));
    QStringList errors;
    for (auto m = counted.globalMatch(output); m.hasNext();) {
        const QRegularExpressionMatch found = m.next();
        if (found.captured(2).toInt() > 0)
            errors << found.captured(0);
    }
    // Any other complaint (it could not attach, say) counts as well.
    if (gfix.exitCode() != 0 && errors.isEmpty())
        errors << output.trimmed();
    return errors;
}

QStringList UserTableDamage(const QString &path)
{
    QTemporaryDir dir;
    const QString copy = dir.path() + QStringLiteral("/validated.fdb");
    if (!dir.isValid() || !QFile::copy(path, copy))
        return {QStringLiteral("no copy of %1").arg(path)};
    QProcess fbsvcmgr;
    fbsvcmgr.setProcessChannelMode(QProcess::MergedChannels);
    fbsvcmgr.start(QStringLiteral("fbsvcmgr"), {QStringLiteral("service_mgr"), QStringLiteral("-user"),
                                                AdministratorUser, QStringLiteral("action_validate"),
                                                QStringLiteral("dbname"), copy});
    if (!fbsvcmgr.waitForFinished(120000) || fbsvcmgr.exitStatus() != QProcess::NormalExit)
        return {QStringLiteral("fbsvcmgr did not finish")};
    QStringList damage;
    for (const QString &line : QString::fromLocal8Bit(fbsvcmgr.readAll()).split(QLatin1Char('\n')))
        if (line.contains(QLatin1String("corrupt")) || line.contains(QLatin1String("rror")))
            damage << line.trimmed();
    if (fbsvcmgr.exitCode() != 0 && damage.isEmpty())
        damage << QStringLiteral("fbsvcmgr failed");
    return damage;
}
