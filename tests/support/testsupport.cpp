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

namespace {

// A validation tool's output on a copy of the database file (it needs the
// file to itself and must not mend it), the copy's path in place of "%DB";
// failed with a reason when it did not run to its end or complained.
struct ToolRun {
    QString output;
    QString failure;
};

ToolRun ValidateCopy(const QString &path, const QString &tool, QStringList arguments)
{
    QTemporaryDir dir;
    const QString copy = dir.path() + QStringLiteral("/validated.fdb");
    if (!dir.isValid() || !QFile::copy(path, copy))
        return {{}, QStringLiteral("no copy of %1").arg(path)};
    arguments.replaceInStrings(QStringLiteral("%DB"), copy);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {{}, tool + QStringLiteral(" did not finish")};
    const QString output = QString::fromLocal8Bit(process.readAll());
    return {output, process.exitCode() != 0 ? output.trimmed() : QString()};
}

}  // namespace

QStringList ValidationErrors(const QString &path)
{
    const ToolRun gfix = ValidateCopy(path, QStringLiteral("gfix"),
                                      {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"),
                                       AdministratorUser, QStringLiteral("%DB")});
    static const QRegularExpression counted(QStringLiteral("Number of ([\\w ]+ errors)\\s*:\\s*(\\d+)"));
    QStringList errors;
    for (auto m = counted.globalMatch(gfix.output); m.hasNext();) {
        const QRegularExpressionMatch found = m.next();
        if (found.captured(2).toInt() > 0)
            errors << found.captured(0);
    }
    // Any other complaint (it could not attach, say) counts as well.
    if (!gfix.failure.isEmpty() && errors.isEmpty())
        errors << gfix.failure;
    return errors;
}
