// The schema rebuild: the mark column, the four program tables with their
// indexes and grants, and MASTER trimmed to the columns the program reads.
#include "import/masterimport.h"

#include "data/fmdm1.h"
#include "data/sql.h"

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

void MasterImport::RunSchemaStatement(const QStringList &statement)
{
    SetStatement(lookup_, statement);
    try {
        lookup_.RunStatement();
        Commit();
    } catch (const Exception &) {
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
    for (const QStringList &statement : SchemaRebuildStatements())
        RunSchemaStatement(statement);
}

void MasterImport::EnsureMasterIndex()
{
    // Without it every pair reads and deletes its rows by a scan of all of
    // MASTER. Any active index on the two columns, in this order, will do.
    SetStatement(lookup_, {QStringLiteral("select count(*) from RDB$INDICES I"),
                           QStringLiteral("where I.RDB$RELATION_NAME = 'MASTER' and I.RDB$SEGMENT_COUNT = 2"),
                           QStringLiteral("and coalesce(I.RDB$INDEX_INACTIVE, 0) = 0"),
                           QStringLiteral("and exists (select 1 from RDB$INDEX_SEGMENTS S where S.RDB$INDEX_NAME = "
                                          "I.RDB$INDEX_NAME and S.RDB$FIELD_NAME = 'PRODUCTID' and "
                                          "S.RDB$FIELD_POSITION = 0)"),
                           QStringLiteral("and exists (select 1 from RDB$INDEX_SEGMENTS S where S.RDB$INDEX_NAME = "
                                          "I.RDB$INDEX_NAME and S.RDB$FIELD_NAME = 'COLORNAME' and "
                                          "S.RDB$FIELD_POSITION = 1)")});
    lookup_.OpenQuery();
    const bool present = lookup_.Fields().front().AsInteger() > 0;
    lookup_.CloseQuery();
    if (!present)
        RunSchemaStatement({QStringLiteral("CREATE INDEX MASTER_IMPORT_IDX ON MASTER (PRODUCTID, COLORNAME)")});
}
