// The schema rebuild: the mark column, the four program tables with their
// indexes and grants, and MASTER trimmed to the columns the program reads.
//
// Creating and dropping tables is not safe against a process that dies in
// the middle (a killed program takes the embedded engine with it): a torn
// CREATE or DROP TABLE can leave a table that can be neither used nor
// dropped. So the statements run only where the structure really changes,
// as on a delivered database's first import. A table that already has the
// structure the rebuild would give it is emptied instead, which keeps its
// indexes and grants and needs no exclusive access.
#include "import/masterimport.h"

#include "data/fmdm1.h"
#include "data/sql.h"

#include <QRegularExpression>

const QList<QStringList> &SchemaRebuildStatements()
{
    static const QList<QStringList> statements = [] {
        QList<QStringList> s{
            {QStringLiteral("ALTER TABLE KOLLEKTIONEN ADD KIMPORT VARCHAR(1) CHARACTER SET ASCII COLLATE ASCII ")},
            {QStringLiteral("drop table FARBEN")},
            {QStringLiteral("CREATE TABLE FARBEN (    "), QStringLiteral("    FID    INTEGER,      "),
             QStringLiteral("    FNAME  VARCHAR(50)   "), QStringLiteral(");                       ")},
            {QStringLiteral("CREATE INDEX FARBEN_IDX1 ON FARBEN (FNAME);")},
            {QStringLiteral("CREATE INDEX FARBEN_IDX2 ON FARBEN (FID);")},
            {QStringLiteral("GRANT ALL ON FARBEN TO  QELMMASTER;")},
            {QStringLiteral("drop table BASEN")},
            {QStringLiteral("CREATE TABLE BASEN (    "), QStringLiteral("    BASEID INTEGER,      "),
             QStringLiteral("    BNAME  VARCHAR(10)   "), QStringLiteral(");                       ")},
            {QStringLiteral("CREATE INDEX BASEN_IDX1 ON BASEN (BASEID);")},
            {QStringLiteral("CREATE INDEX BASEN_IDX2 ON BASEN (BNAME);")},
            {QStringLiteral("GRANT ALL ON BASEN TO  QELMMASTER;")},
            {QStringLiteral("drop table RGBCOLORS")},
            {QStringLiteral("CREATE TABLE RGBCOLORS (        "), QStringLiteral("    COLORID  INTEGER NOT NULL,  "),
             QStringLiteral("    RCOLOR   INTEGER,           "), QStringLiteral("    GCOLOR   INTEGER,           "),
             QStringLiteral("    BCOLOR   INTEGER            "), QStringLiteral(");                              ")},
            {QStringLiteral("CREATE INDEX RGBCOLORS_IDX1 ON RGBCOLORS (COLORID);")},
            {QStringLiteral("CREATE INDEX RGBCOLORS_IDX2 ON RGBCOLORS (RCOLOR, GCOLOR, BCOLOR);")},
            {QStringLiteral("GRANT ALL ON RGBCOLORS TO  QELMMASTER;")},
            {QStringLiteral("drop table KOMBIDATEN")},
            {QStringLiteral("CREATE TABLE KOMBIDATEN (  "), QStringLiteral("    K_FID      INTEGER,    "),
             QStringLiteral("    K_KID      INTEGER,    "), QStringLiteral("    K_PID      INTEGER,    "),
             QStringLiteral("    K_COLORID  INTEGER,    "), QStringLiteral("    K_BASEID   INTEGER,    "),
             QStringLiteral("    K_FDETID   INTEGER,    "), QStringLiteral("    K_COST     INTEGER     "),
             QStringLiteral(");                         ")},
            {QStringLiteral("CREATE INDEX KOMBIDATEN_IDX1 ON KOMBIDATEN (K_FID, K_KID, K_PID);")},
            {QStringLiteral("CREATE INDEX KOMBIDATEN_IDX2 ON KOMBIDATEN (K_FID);")},
            {QStringLiteral("CREATE INDEX KOMBIDATEN_IDX3 ON KOMBIDATEN (K_KID);")},
            {QStringLiteral("CREATE INDEX KOMBIDATEN_IDX4 ON KOMBIDATEN (K_PID);")},
            {QStringLiteral("GRANT ALL ON KOMBIDATEN TO  QELMMASTER;")},
        };
        for (int i = 0; i <= 5; ++i) {
            s.append({QStringLiteral("ALTER TABLE MASTER DROP INGREDIENT%1ABBR").arg(i)});
            s.append({QStringLiteral("ALTER TABLE MASTER DROP INGREDIENT%1AMT").arg(i)});
        }
        s.append({QStringLiteral("ALTER TABLE MASTER DROP CANSIZE")});
        s.append({QStringLiteral("ALTER TABLE MASTER DROP BASEAMT")});
        s.append({QStringLiteral("ALTER TABLE MASTER ALTER \"BASENAME\" TYPE VARCHAR(10) CHARACTER SET ASCII")});
        return s;
    }();
    return statements;
}

// A program table as the rebuild makes it: its statements, and the shape
// they give, in the terms of the catalogue.
struct ProgramTable {
    QString name;
    QStringList drop;
    QStringList create;
    QList<QStringList> indexes;
    QStringList grant;
    QStringList columns;      // "NAME TYPE LENGTH NOTNULL", in order
    QStringList indexShapes;  // "NAME COLUMN,COLUMN"
};

namespace {

// The four program tables, read from the rebuild's statements so that the
// shape checked is the one those statements give.
QList<ProgramTable> ProgramTables()
{
    static const QRegularExpression dropTable(QStringLiteral("^drop table (\\w+)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression createTable(QStringLiteral("^CREATE TABLE (\\w+) \\($"));
    static const QRegularExpression column(QStringLiteral("^(\\w+)\\s+(INTEGER|VARCHAR\\((\\d+)\\))( NOT NULL)?,?$"));
    static const QRegularExpression createIndex(QStringLiteral("^CREATE INDEX (\\w+) ON (\\w+) \\(([\\w, ]+)\\);$"));
    static const QRegularExpression grant(QStringLiteral("^GRANT ALL ON (\\w+) TO\\s+QELMMASTER;$"));
    QList<ProgramTable> tables;
    const auto table = [&tables](const QString &name) -> ProgramTable & {
        for (ProgramTable &t : tables)
            if (t.name == name)
                return t;
        tables.append({name, {}, {}, {}, {}, {}, {}});
        return tables.last();
    };
    for (const QStringList &statement : SchemaRebuildStatements()) {
        const QString first = statement.first().trimmed();
        QRegularExpressionMatch m;
        if ((m = dropTable.match(first)).hasMatch()) {
            table(m.captured(1)).drop = statement;
        } else if ((m = createTable.match(first)).hasMatch()) {
            ProgramTable &t = table(m.captured(1));
            t.create = statement;
            for (const QString &line : statement.mid(1, statement.size() - 2)) {
                const QRegularExpressionMatch c = column.match(line.trimmed());
                const bool text = !c.captured(3).isEmpty();
                t.columns << QStringLiteral("%1 %2 %3 %4")
                                 .arg(c.captured(1), text ? QStringLiteral("37") : QStringLiteral("8"),
                                      text ? c.captured(3) : QStringLiteral("0"),
                                      c.captured(4).isEmpty() ? QStringLiteral("0") : QStringLiteral("1"));
            }
        } else if ((m = createIndex.match(first)).hasMatch()) {
            ProgramTable &t = table(m.captured(2));
            t.indexes << statement;
            t.indexShapes << m.captured(1) + QLatin1Char(' ') + m.captured(3).remove(QLatin1Char(' '));
        } else if ((m = grant.match(first)).hasMatch()) {
            table(m.captured(1)).grant = statement;
        }
    }
    return tables;
}

// The lock-wait error of a schema change that another attachment blocks.
bool BlockedByOthers(const QString &message)
{
    return message.contains(QLatin1String("lock time-out")) || message.contains(QLatin1String("lock conflict")) ||
           message.contains(QLatin1String("is in use"));
}

}  // namespace

QStringList MasterImport::Catalogue(const QString &select)
{
    SetStatement(schema_, {select});
    schema_.OpenQuery();
    QStringList values;
    for (; !schema_.AtEnd(); schema_.ToNextRow())
        values << schema_.Fields().front().AsString();
    schema_.CloseQuery();
    schemaTransaction_.Commit();
    return values;
}

QStringList MasterImport::ColumnsOf(const QString &table)
{
    return Catalogue(QStringLiteral("select trim(rf.RDB$FIELD_NAME) || ' ' || f.RDB$FIELD_TYPE || ' ' || "
                                    "coalesce(f.RDB$CHARACTER_LENGTH, 0) || ' ' || coalesce(rf.RDB$NULL_FLAG, 0) "
                                    "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = "
                                    "rf.RDB$FIELD_SOURCE where rf.RDB$RELATION_NAME = '%1' "
                                    "order by rf.RDB$FIELD_POSITION")
                         .arg(table));
}

void MasterImport::RunSchemaStatement(const QStringList &statement)
{
    // In a transaction of its own that waits a few seconds at most for
    // another workstation that uses the table: then the whole run stops,
    // and the next one resumes from its mark.
    SetStatement(schema_, statement);
    try {
        schema_.RunStatement();
        schemaTransaction_.Commit();
    } catch (const Exception &e) {
        if (schemaTransaction_.Active())
            schemaTransaction_.SetActive(false);
        if (BlockedByOthers(e.Message()))
            throw Exception(QStringLiteral("Die Tabellen werden gerade an einem anderen Arbeitsplatz benutzt. "
                                           "Der Import kann wiederholt werden, sobald Tintorel dort beendet ist."));
        // The same sequence serves every shape of database: what is there
        // already, or may not be changed, simply stays.
    }
}

void MasterImport::ReleaseInterruptedTableCreation()
{
    // A process that dies while the server commits a CREATE TABLE leaves the
    // new table's pages registered under the id that the next CREATE TABLE
    // gets again; that table could then hold neither rows nor indexes. A
    // scratch table takes the id, and dropping it releases both sets of pages.
    RunSchemaStatement({QStringLiteral("CREATE TABLE IMPORT_NEUAUFBAU (FREI INTEGER)")});
    RunSchemaStatement({QStringLiteral("DROP TABLE IMPORT_NEUAUFBAU")});
}

void MasterImport::RecreateTables()
{
    if (ColumnsOf(QStringLiteral("KOLLEKTIONEN")).filter(QRegularExpression(QStringLiteral("^KIMPORT "))).isEmpty())
        RunSchemaStatement(SchemaRebuildStatements().first());
    bool scratchDone = false;
    for (const ProgramTable &table : ProgramTables()) {
        if (ColumnsOf(table.name) == table.columns) {
            EmptyTable(table);
            continue;
        }
        if (!scratchDone) {
            ReleaseInterruptedTableCreation();
            scratchDone = true;
        }
        MakeTable(table);
    }
    TrimMaster();
    // The program's transaction sees the database as it was when it began:
    // it begins anew to see the tables made and emptied (everything is
    // committed by now).
    dm_.ibTa1.Commit();
    dm_.ibTa1.SetActive(true);
}

void MasterImport::EmptyTable(const ProgramTable &table)
{
    // In shape: what a creation would add and is missing, then every row
    // committed so far goes, whoever wrote it.
    const QStringList present = IndexesOf(table.name);
    for (qsizetype i = 0; i < table.indexes.size(); ++i)
        if (!present.contains(table.indexShapes.at(i)))
            RunSchemaStatement(table.indexes.at(i));
    if (!Granted(table.name))
        RunSchemaStatement(table.grant);
    RunSchemaStatement({QStringLiteral("delete from ") + table.name});
}

void MasterImport::MakeTable(const ProgramTable &table)
{
    // Missing, or out of shape: made anew.
    if (!ColumnsOf(table.name).isEmpty())
        RunSchemaStatement(table.drop);
    RunSchemaStatement(table.create);
    for (const QStringList &index : table.indexes)
        RunSchemaStatement(index);
    RunSchemaStatement(table.grant);
}

void MasterImport::TrimMaster()
{
    // The columns the program never reads go; BASENAME is narrowed only
    // where the engine can do it (it refuses to make a column narrower).
    const QStringList master = ColumnsOf(QStringLiteral("MASTER"));
    const auto column = [&master](const QString &name) {
        const QStringList found = master.filter(QRegularExpression(QLatin1Char('^') + name + QLatin1Char(' ')));
        return found.isEmpty() ? QString() : found.first();
    };
    for (const QStringList &statement : SchemaRebuildStatements()) {
        const QString text = statement.first();
        if (!text.startsWith(QLatin1String("ALTER TABLE MASTER")))
            continue;
        if (text.contains(QLatin1String(" DROP "))) {
            if (!column(text.section(QLatin1Char(' '), 4, 4)).isEmpty())
                RunSchemaStatement(statement);
            continue;
        }
        const QString basename = column(QStringLiteral("BASENAME"));
        if (!basename.isEmpty() && basename.section(QLatin1Char(' '), 2, 2).toInt() <= 10 &&
            BaseNameCharacterSet() != QLatin1String("ASCII"))
            RunSchemaStatement(statement);
    }
}

QStringList MasterImport::IndexesOf(const QString &table)
{
    const QStringList segments =
        Catalogue(QStringLiteral("select trim(i.RDB$INDEX_NAME) || ' ' || trim(s.RDB$FIELD_NAME) from RDB$INDICES i "
                                 "join RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
                                 "where i.RDB$RELATION_NAME = '%1' and coalesce(i.RDB$UNIQUE_FLAG, 0) = 0 "
                                 "and coalesce(i.RDB$INDEX_INACTIVE, 0) = 0 "
                                 "order by i.RDB$INDEX_NAME, s.RDB$FIELD_POSITION")
                      .arg(table));
    QStringList indexes;
    QString current;
    for (const QString &segment : segments) {
        const QString index = segment.section(QLatin1Char(' '), 0, 0);
        const QString field = segment.section(QLatin1Char(' '), 1, 1);
        if (index == current) {
            indexes.last() += QLatin1Char(',') + field;
        } else {
            indexes << index + QLatin1Char(' ') + field;
            current = index;
        }
    }
    return indexes;
}

bool MasterImport::Granted(const QString &table)
{
    const QStringList rights = Catalogue(QStringLiteral("select distinct trim(RDB$PRIVILEGE) from RDB$USER_PRIVILEGES "
                                                        "where RDB$USER = 'QELMMASTER' and RDB$RELATION_NAME = '%1'")
                                             .arg(table));
    for (const char *right : {"S", "I", "U", "D", "R"})
        if (!rights.contains(QLatin1String(right)))
            return false;
    return true;
}

QString MasterImport::BaseNameCharacterSet()
{
    const QStringList names = Catalogue(QStringLiteral(
        "select trim(c.RDB$CHARACTER_SET_NAME) from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = "
        "rf.RDB$FIELD_SOURCE join RDB$CHARACTER_SETS c on c.RDB$CHARACTER_SET_ID = f.RDB$CHARACTER_SET_ID "
        "where rf.RDB$RELATION_NAME = 'MASTER' and rf.RDB$FIELD_NAME = 'BASENAME'"));
    return names.isEmpty() ? QString() : names.first();
}

void MasterImport::EnsureMasterIndex()
{
    // Without it every pair reads and deletes its rows by a scan of all of
    // MASTER. Any active index on the two columns, in this order, will do.
    const QStringList indexes = IndexesOf(QStringLiteral("MASTER"));
    if (indexes.filter(QRegularExpression(QStringLiteral(" PRODUCTID,COLORNAME$"))).isEmpty())
        RunSchemaStatement({QStringLiteral("CREATE INDEX MASTER_IMPORT_IDX ON MASTER (PRODUCTID, COLORNAME)")});
}
