// The master import: turns the flat table MASTER into the tables the
// searches read, pair by pair, so that a run stopped anywhere can be resumed.
#pragma once

#include "data/ib.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <array>
#include <functional>
#include <optional>
#include <unordered_map>

class ImportObserver;
class Tfmdm;
struct ProgramTable;

// The program is ending: the run stops at a point a later run resumes from.
// Not an error of the import, so no pair's guard catches it.
class ImportStopped : public std::exception {
public:
    const char *what() const noexcept override { return "import stopped"; }
};

class MasterImport {
public:
    MasterImport(Tfmdm &dm, ImportObserver &observer);
    MasterImport(const MasterImport &) = delete;
    MasterImport &operator=(const MasterImport &) = delete;

    // The driver: asks whether the master data tables are rebuilt too, runs
    // the steps and says "Fertig!". A fault that is not the data's own (no
    // space, a lost connection, a conflict) stops the run where the next one
    // resumes, with the cause in the error.
    void Run();

    // The steps, in the order of a full rebuild.
    void RecreateTables();
    void CreateTableRGBCOLORS();
    void CreateTableBASEN();
    void CreateTableFARBEN();
    void CreateTableKOLLEKTIONEN();
    void CreateTableKOMBIDATEN();

private:
    struct LookupBuild;
    // Only one import at a time: another workstation's run stops this one.
    void ClaimRun();
    void RunSteps();
    // The engine's check of the tables before anything is built on them:
    // damage stops the run with what to do.
    void CheckTables();
    // What the run deleted, collected before the first search meets it.
    void CollectGarbage();
    // "Fertig!", and what the run left undone.
    QString EndText() const;
    // The field of the query's current row with that name.
    static TField &Field(TIBQuery &query, const char *name);
    // A schema statement committed on its own; its failure is ignored, but
    // for another workstation's use of the table, which stops the run.
    // Without waiting for others, a block only makes it false.
    bool RunSchemaStatement(const QStringList &statement, bool waitForOthers = true);
    // The first column of a catalogue query's rows, read in a transaction
    // that sees the schema statements committed so far.
    QStringList Catalogue(const QString &select);
    // "NAME TYPE LENGTH NOTNULL" per column, in order; none for no table.
    QStringList ColumnsOf(const QString &table);
    // "NAME COLUMN,COLUMN" per active plain index.
    QStringList IndexesOf(const QString &table, bool withInactive = false);
    // The table's plain indexes switched on (built afresh from its rows) or
    // off, but for those of the pairs' deletes; switching off is left out
    // while another workstation uses them.
    void SetIndexesActive(const QString &table, bool active);
    // The lookup tables' indexes on, or the combinations', as a finished
    // rebuild leaves them.
    void ActivateIndexes(bool combinations);
    // Whether the program's own user holds all rights on the table.
    bool Granted(const QString &table);
    QString BaseNameCharacterSet();
    // MASTER rewritten pair by pair when a sample of it lies otherwise.
    void PutMasterInPairOrder();
    // The indexes that find a pair's MASTER rows and its KOLLEKTIONEN row,
    // made once when missing.
    void EnsureImportIndexes();
    // What a torn creation or drop of a table left, taken up or freed.
    void RepairTornTables(const QStringList &programTables);
    // An emptied program table with other columns altered into shape.
    void AlterIntoShape(const ProgramTable &table, const QStringList &columns);
    // MASTER without the columns the program never reads.
    void TrimMaster();
    struct PairRun;

    void BuildLookup(const LookupBuild &build);
    // The collection builder's two passes over the distinct values of the
    // columns: the collections with their ids by name, then the pairs.
    void OpenCollectionSource(const QString &columns);
    void AppendCollectionRow(int kid, const QString &kpid, const QString &name, const QString &mark);
    QHash<QString, int> WriteCollectionRows();
    void WritePairRows(const QHash<QString, int> &ids);
    // The pair steps of the combination builder for the current pending
    // pair: its old combinations deleted and its rows asked for, its
    // combinations written one per row, its MASTER rows deleted, its mark.
    void BuildPair(PairRun &run);
    void ReadPair(PairRun &run);
    void BuildPairRows(PairRun &run);
    struct CombinedColumns;
    void BuildCombination(PairRun &run, const CombinedColumns &columns);
    void ConsumePair(PairRun &run);
    void MarkPair(PairRun &run, bool consumed);
    // A pair that failed on its own data: the box, counted and logged.
    void PairFailed(PairRun &run, const QString &message);
    // A MASTER row of the pair that its delete takes without a combination.
    void RowWithoutCombination(PairRun &run, const QString &shade, const QString &base);
    // The colour id of a combined row's channels as the lookup statement
    // finds it: from the colours read once, or by the statement itself
    // when the channels are no plain numbers.
    int ColourId(const QString &red, const QString &green, const QString &blue);

    void Status(const QString &text);
    // The step under way for the progress bar, shown now; its count goes out
    // with the next pump.
    void StartStep(const QString &step, int total = 0);
    // The rows of the source just opened, read through: the step's total.
    void CountRows(TIBQuery &source);
    void WriteRebuildMark();
    // Reads every row of MASTER: a damaged or cut table shows with the
    // engine's message before anything is changed.
    void CheckMaster();
    // A status text that changes with every row: shown only as often as a
    // person can read it.
    void RowStatus(const std::function<QString()> &text);
    // Messages handled at a named point, or in a loop when it is time.
    void Pump();
    void PumpWhenDue();
    void Commit();

    Tfmdm &dm_;
    ImportObserver &observer_;
    TIBQuery lookup_;
    TIBTransaction schemaTransaction_;
    TIBQuery schema_;
    QElapsedTimer sinceStatus_;
    QElapsedTimer sincePump_;
    QString step_;
    int done_ = 0;
    int total_ = 0;
    // What the run leaves undone, for the end box; the log lists each.
    int failedPairs_ = 0;
    int consumedRows_ = 0;  // MASTER rows deleted without a combination
    int uncollected_ = 0;   // collections whose names do not fit KNAME
    // The last refusal of a schema statement, for a table still missing.
    QString refused_;
    // The colour ids by channels, read once per combination run: the first
    // row of a triple wins, as the first row of the lookup statement does.
    struct ChannelsHash {
        size_t operator()(const std::array<int, 3> &c) const
        {
            return std::hash<qint64>()((qint64(c[0]) * 1000003 + c[1]) * 1000003 + c[2]);
        }
    };
    std::optional<std::unordered_map<std::array<int, 3>, int, ChannelsHash>> colours_;
};

// Whether an error says that KOLLEKTIONEN lacks the mark column KIMPORT: a
// database that never saw an import.
bool IsMissingKimportColumn(const QString &message);

// Whether a full rebuild was cut off before all its pairs were pending: the
// rebuild leaves a mark in KOLLEKTIONEN from before its first change until
// its pairs are written, and the start-up check offers the import while the
// mark is there. Errors reach the caller.
bool ImportInterrupted(TIBQuery &query);

// The statements of the schema rebuild, in order, each as its lines.
const QList<QStringList> &SchemaRebuildStatements();

// A name as the server compares it: without its trailing blanks.
QString WithoutTrailingBlanks(const QString &name);

// A collection name as it goes between the quotes of a pair's statements:
// trailing blanks go (the server ignores them when comparing), everything
// else stays, so that the name can only ever match itself; quotes doubled.
QString PairNameLiteral(const QString &kname);

// The error of a run stopped by a fault: the cause, what is kept, that the
// import can be repeated, and the engine's message.
QString StoppedText(const QString &cause, const QString &message);

// The error of a run that found the database damaged: what to do, and the
// engine's lines about the damage.
QString DamagedText(const QStringList &damage);

// The catalogue's select of MASTER's stored columns (not the computed ones),
// one name per row, in their order.
QString MasterColumnsSelect();

// The statements that write MASTER again pair by pair, each pair's rows in
// their delivered order, and delete the rows as they lay; for the columns
// MasterColumnsSelect gives. Both in one transaction.
QList<QStringList> MasterInPairOrder(QStringList names);

// An index the pairs need, on its table's columns in this order (separated
// by commas only).
struct ImportIndex {
    QString table, columns, name;
    QString CreateStatement() const;
};
const QList<ImportIndex> &ImportIndexes();

// The text of the error box of a failed pair: five lines, each ending in CR LF.
QString PairErrorText(const QString &message, const QString &debugPoint, int productId, int collectionId);
