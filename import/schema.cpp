// The schema rebuild: the mark column, the four program tables with their
// indexes and grants, and MASTER trimmed to the columns the program reads.
//
// Creating and dropping tables is not safe against a process that dies in
// their commit (a killed program takes the embedded engine with it): a torn
// CREATE TABLE leaves its pages under a relation id that the next CREATE
// TABLE gets again, a torn DROP TABLE leaves a table without pages that can
// be neither read nor dropped. Every other schema change survives a kill.
// So a program table is never dropped: one in shape is emptied (which keeps
// its indexes and grants and needs no exclusive access), one out of shape
// is altered into shape, and only a missing one is created, after an id
// left by a torn creation has been taken up by a scratch table. Every
// statement runs only where the catalogue says it is still needed, so that
// a run killed anywhere is finished by the next one.
#include "import/masterimport.h"

#include "data/faults.h"
#include "data/fmdm1.h"
#include "data/sql.h"

#include <QRegularExpression>

#include <algorithm>

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
    QStringList create;
    QStringList columnTypes;  // "NAME TYPE" as the creation writes them
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
        if ((m = createTable.match(first)).hasMatch()) {
            ProgramTable &t = table(m.captured(1));
            t.create = statement;
            for (const QString &line : statement.mid(1, statement.size() - 2)) {
                const QRegularExpressionMatch c = column.match(line.trimmed());
                t.columnTypes << c.captured(1) + QLatin1Char(' ') + c.captured(2) + c.captured(4);
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

bool MasterImport::RunSchemaStatement(const QStringList &statement, bool waitForOthers)
{
    // In a transaction of its own that waits a few seconds at most for
    // another workstation that uses the table: then the whole run stops,
    // and the next one resumes from its mark.
    SetStatement(schema_, statement);
    schemaTransaction_.Params = {QStringLiteral("read_committed"),
                                 waitForOthers ? QStringLiteral("lock_timeout=5") : QStringLiteral("nowait")};
    try {
        schema_.RunStatement();
        schemaTransaction_.Commit();
        return true;
    } catch (const EDatabaseError &e) {
        if (schemaTransaction_.Active())
            schemaTransaction_.SetActive(false);
        if (!waitForOthers && FaultOf(e) == Fault::Conflict)
            return false;
        if (BlockedByOthers(e.Message()))
            throw Exception(QStringLiteral("Die Tabellen werden gerade an einem anderen Arbeitsplatz benutzt. "
                                           "Der Import kann wiederholt werden, sobald Tintorel dort beendet ist."));
        // No space, no connection: the run stops.
        if (FaultOf(e) != Fault::None)
            throw;
        // The same sequence serves every shape of database: what is there
        // already, or may not be changed, simply stays.
        refused_ = e.Message();
        return false;
    }
}

namespace {

const QString Scratch = QStringLiteral("IMPORT_NEUAUFBAU");

// Relation ids that a torn CREATE TABLE left pages for, without a table.
const QString OrphanedIds = QStringLiteral(
    "select distinct p.RDB$RELATION_ID from RDB$PAGES p where p.RDB$RELATION_ID >= 128 "
    "and not exists (select 1 from RDB$RELATIONS r where r.RDB$RELATION_ID = p.RDB$RELATION_ID)");

// Tables built on such an id (two sets of pages), or without the format
// they use: made anew.
const QString TablesOnOrphanedIds = QStringLiteral(
    "select trim(r.RDB$RELATION_NAME) from RDB$RELATIONS r where r.RDB$RELATION_ID >= 128 and ("
    "exists (select 1 from RDB$PAGES p where p.RDB$RELATION_ID = r.RDB$RELATION_ID and p.RDB$PAGE_TYPE in (4, 6) "
    "group by p.RDB$PAGE_TYPE, p.RDB$PAGE_SEQUENCE having count(*) > 1) "
    "or (r.RDB$SYSTEM_FLAG = 0 and r.RDB$VIEW_BLR is null and (r.RDB$FORMAT is null or not exists ("
    "select 1 from RDB$FORMATS f where f.RDB$RELATION_ID = r.RDB$RELATION_ID and f.RDB$FORMAT = r.RDB$FORMAT))))");

// Tables a torn DROP TABLE left without pages: reading one stops the engine.
const QString TablesWithoutPages = QStringLiteral(
    "select trim(r.RDB$RELATION_NAME) from RDB$RELATIONS r where r.RDB$RELATION_ID >= 128 "
    "and r.RDB$VIEW_BLR is null and r.RDB$EXTERNAL_FILE is null and ("
    "not exists (select 1 from RDB$PAGES p where p.RDB$RELATION_ID = r.RDB$RELATION_ID and p.RDB$PAGE_TYPE = 4) "
    "or not exists (select 1 from RDB$PAGES p where p.RDB$RELATION_ID = r.RDB$RELATION_ID and p.RDB$PAGE_TYPE = 6))");

}  // namespace

void MasterImport::RepairTornTables(const QStringList &programTables)
{
    // Only the scratch table and the program's own tables are the rebuild's
    // to repair; they are made anew below.
    for (const QString &table : Catalogue(TablesWithoutPages)) {
        if (table != Scratch && !programTables.contains(table))
            continue;
        // Without indexes, the drop done again frees the table; with them it
        // cannot be dropped any more, only left out of a backup.
        if (table != Scratch && !IndexesOf(table, true).isEmpty())
            throw Exception(QStringLiteral("Die Tabelle %1 ist beschädigt und kann nicht neu angelegt werden. Sie wird "
                                           "mit einer Datensicherung ohne ihre Daten (gbak -b -skip_data %1) und deren "
                                           "Rücksicherung wiederhergestellt; danach kann der Import wiederholt werden.")
                                .arg(table));
        RunSchemaStatement({QStringLiteral("DROP TABLE ") + table});
    }
    for (const QString &table : Catalogue(TablesOnOrphanedIds))
        if (table == Scratch || programTables.contains(table))
            RunSchemaStatement({QStringLiteral("DROP TABLE ") + table});
    if (!Catalogue(QStringLiteral("select RDB$RELATION_NAME from RDB$RELATIONS where RDB$RELATION_NAME = '%1'")
                       .arg(Scratch))
             .isEmpty())
        RunSchemaStatement({QStringLiteral("DROP TABLE ") + Scratch});
    // A scratch table takes up an id a torn creation left, and its drop frees
    // both sets of pages; the next table made gets a fresh id.
    for (int round = 0; round < 3 && !Catalogue(OrphanedIds).isEmpty(); ++round) {
        RunSchemaStatement({QStringLiteral("CREATE TABLE %1 (FREI INTEGER)").arg(Scratch)});
        RunSchemaStatement({QStringLiteral("DROP TABLE ") + Scratch});
    }
}

void MasterImport::RecreateTables()
{
    const QList<ProgramTable> tables = ProgramTables();
    QStringList names;
    for (const ProgramTable &table : tables)
        names << table.name;
    RepairTornTables(names);
    const bool alone = Catalogue(QStringLiteral("select MON$ATTACHMENT_ID from MON$ATTACHMENTS "
                                                "where MON$ATTACHMENT_ID <> current_connection and MON$SYSTEM_FLAG = 0"))
                           .isEmpty();
    if (ColumnsOf(QStringLiteral("KOLLEKTIONEN")).filter(QRegularExpression(QStringLiteral("^KIMPORT "))).isEmpty())
        RunSchemaStatement(SchemaRebuildStatements().first());
    for (const ProgramTable &table : tables) {
        // A lookup table is refilled with its indexes inactive, and they are
        // built afresh from the rows at the end: an index that is written
        // while its table is emptied and refilled can be left without
        // entries for rows when the program is killed.
        // So are the combinations' until the last pair is built, that is the
        // engine's own pace for millions of rows, but for the two that each
        // pair's delete of its old combinations finds them by.
        // Not while another workstation is connected: its searches would
        // fail on the inactive indexes.
        const bool refilledInactive = alone;
        if (refilledInactive)
            SetIndexesActive(table.name, false);
        const QStringList columns = ColumnsOf(table.name);
        if (columns.isEmpty()) {
            RunSchemaStatement(table.create);
        } else {
            // Every row committed so far goes, whoever wrote it.
            RunSchemaStatement({QStringLiteral("delete from ") + table.name});
            if (columns != table.columns)
                AlterIntoShape(table, columns);
        }
        const QStringList present = IndexesOf(table.name, true);
        for (qsizetype i = 0; i < table.indexes.size(); ++i)
            if (!present.contains(table.indexShapes.at(i)))
                RunSchemaStatement(table.indexes.at(i));
        if (refilledInactive)
            SetIndexesActive(table.name, false);
        if (!Granted(table.name))
            RunSchemaStatement(table.grant);
    }
    TrimMaster();
    // A table the rebuild could not make (a user without the right to change
    // the schema) would only fail later, and with a less helpful message.
    for (const ProgramTable &table : tables)
        if (ColumnsOf(table.name).isEmpty())
            throw Exception(
                QStringLiteral("Die Tabelle %1 fehlt und konnte nicht angelegt werden. Der erste Import braucht das "
                               "Recht, Tabellen anzulegen: Er muss mit den Rechten des Datenbank-Administrators laufen, "
                               "direkt auf dem Datenbankrechner. Danach kann der Import wiederholt werden.\r\n\r\n")
                    .arg(table.name) +
                refused_);
    // The program's transaction sees the database as it was when it began:
    // it begins anew to see the tables made, altered and emptied (everything
    // is committed by now).
    dm_.ibTa1.Commit();
    dm_.ibTa1.SetActive(true);
}

void MasterImport::AlterIntoShape(const ProgramTable &table, const QStringList &columns)
{
    // The table is empty: a column of another type goes and comes back in
    // the right one, a missing column is added, then each is put in its
    // place. An index on a column that goes goes first (it is made again
    // afterwards), and so does one of the program's names on other columns.
    // A spare column keeps the table from losing its last one.
    const QString spare = QStringLiteral("IMPORT_FREI");
    const auto alter = [&table](const QString &rest) {
        return QStringList{QStringLiteral("ALTER TABLE ") + table.name + QLatin1Char(' ') + rest};
    };
    QStringList going;
    for (const QString &column : columns)
        if (!table.columns.contains(column))
            going << column.section(QLatin1Char(' '), 0, 0);
    for (const QString &index : IndexesOf(table.name, true)) {
        const QString name = index.section(QLatin1Char(' '), 0, 0);
        const QStringList on = index.section(QLatin1Char(' '), 1).split(QLatin1Char(','));
        const bool ownName = std::any_of(table.indexShapes.begin(), table.indexShapes.end(), [&name](const QString &s) {
            return s.section(QLatin1Char(' '), 0, 0) == name;
        });
        const bool onGoing = std::any_of(on.begin(), on.end(), [&going](const QString &c) { return going.contains(c); });
        if (onGoing || (ownName && !table.indexShapes.contains(index)))
            RunSchemaStatement({QStringLiteral("DROP INDEX ") + name});
    }
    if (columns.filter(QRegularExpression(QLatin1Char('^') + spare + QLatin1Char(' '))).isEmpty())
        RunSchemaStatement(alter(QStringLiteral("ADD ") + spare + QStringLiteral(" INTEGER")));
    for (const QString &column : ColumnsOf(table.name)) {
        const QString name = column.section(QLatin1Char(' '), 0, 0);
        if (name != spare && !table.columns.contains(column))
            RunSchemaStatement(alter(QStringLiteral("DROP ") + name));
    }
    const QStringList present = ColumnsOf(table.name);
    for (qsizetype i = 0; i < table.columns.size(); ++i)
        if (!present.contains(table.columns.at(i)))
            RunSchemaStatement(alter(QStringLiteral("ADD ") + table.columnTypes.at(i)));
    RunSchemaStatement(alter(QStringLiteral("DROP ") + spare));
    for (qsizetype i = 0; i < table.columns.size(); ++i)
        if (ColumnsOf(table.name).value(i) != table.columns.at(i))
            RunSchemaStatement(alter(QStringLiteral("ALTER %1 POSITION %2")
                                         .arg(table.columns.at(i).section(QLatin1Char(' '), 0, 0))
                                         .arg(i + 1)));
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

void MasterImport::SetIndexesActive(const QString &table, bool active)
{
    static const QStringList pairDelete{QStringLiteral("KOMBIDATEN_IDX3"), QStringLiteral("KOMBIDATEN_IDX4")};
    QStringList names = Catalogue(QStringLiteral("select trim(RDB$INDEX_NAME) from RDB$INDICES "
                                                       "where RDB$RELATION_NAME = '%1' and coalesce(RDB$UNIQUE_FLAG, 0) = 0 "
                                                       "and RDB$FOREIGN_KEY is null and coalesce(RDB$INDEX_INACTIVE, 0) = %2")
                                            .arg(table)
                                            .arg(active ? 1 : 0));
    if (!active)
        names.removeIf([](const QString &name) { return pairDelete.contains(name); });
    // Another workstation that started to search the table meanwhile keeps
    // its indexes in use: then the table is refilled with them active.
    for (const QString &name : names)
        RunSchemaStatement({QStringLiteral("ALTER INDEX %1 %2").arg(name, active ? QStringLiteral("ACTIVE")
                                                                                 : QStringLiteral("INACTIVE"))},
                           active);
}

void MasterImport::ActivateIndexes(bool combinations)
{
    // Building an index waits for every transaction that wrote to its table,
    // this program's own too: its work so far is committed for good first.
    dm_.ibTa1.Commit();
    dm_.ibTa1.SetActive(true);
    for (const ProgramTable &table : ProgramTables())
        if ((table.name == QLatin1String("KOMBIDATEN")) == combinations)
            SetIndexesActive(table.name, true);
}

QStringList MasterImport::IndexesOf(const QString &table, bool withInactive)
{
    const QStringList segments =
        Catalogue(QStringLiteral("select trim(i.RDB$INDEX_NAME) || ' ' || trim(s.RDB$FIELD_NAME) from RDB$INDICES i "
                                 "join RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
                                 "where i.RDB$RELATION_NAME = '%1' and coalesce(i.RDB$UNIQUE_FLAG, 0) = 0 "
                                 "and (coalesce(i.RDB$INDEX_INACTIVE, 0) = 0 or %2 = 1) "
                                 "order by i.RDB$INDEX_NAME, s.RDB$FIELD_POSITION")
                      .arg(table)
                      .arg(withInactive ? 1 : 0));
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

void MasterImport::EnsureImportIndexes()
{
    // Any active index on the columns, in this order, will do.
    for (const ImportIndex &index : ImportIndexes())
        if (IndexesOf(index.table)
                .filter(QRegularExpression(QLatin1Char(' ') + index.columns + QLatin1Char('$')))
                .isEmpty())
            RunSchemaStatement({index.CreateStatement()});
}

const QList<ImportIndex> &ImportIndexes()
{
    // Without them every pair reads and deletes its MASTER rows by a scan of
    // all of MASTER, and its mark finds its KOLLEKTIONEN row by a scan of all
    // pairs.
    static const QList<ImportIndex> indexes{
        {QStringLiteral("MASTER"), QStringLiteral("PRODUCTID,COLORNAME"), QStringLiteral("MASTER_IMPORT_IDX")},
        {QStringLiteral("KOLLEKTIONEN"), QStringLiteral("KPID,KID"), QStringLiteral("KOLLEKTIONEN_IMPORT_IDX")}};
    return indexes;
}

QString ImportIndex::CreateStatement() const
{
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(name, table, QString(columns).replace(QLatin1Char(','), QStringLiteral(", ")));
}
