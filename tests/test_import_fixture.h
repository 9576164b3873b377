// Fixture of the import tests: delivered databases with a MASTER of known
// rows, the tables an import must produce from them (worked out here, not by
// the import's code), and the program run in this process on its folder.
// A test includes "ui_fmHaupt.h" itself, before this header, so that its own
// target generates it.
#pragma once

#include "app/application.h"
#include "app/logfile.h"
#include "ui/msgbox.h"
#include "data/ansi.h"
#include "data/fmdm1.h"
#include "data/ib.h"
#include "data/sql.h"
#include "support/programrun.h"
#include "support/testsupport.h"
#include "tools/demodata.h"
#include "ui/fmHaupt.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

inline const QString Question = QStringLiteral("Sollen die Stammdatentabellen auch neu erzeugt werden?");
inline const QStringList AskedAndDone{Question, QStringLiteral("Fertig!")};

struct MasterRow {
    QString collection;  // COLORNAME
    QString shade;       // COLORNUMBER
    int product = 0;
    std::optional<int> red, green, blue;
    QString base;
    int notice = 0;
    QString cost;
};

// A MASTER row as delivered; after an import has trimmed MASTER, without the
// columns it dropped.
inline QString MasterInsert(const MasterRow &row, bool delivered = true)
{
    const auto channel = [](const std::optional<int> &value) {
        return value ? QString::number(*value) : QStringLiteral("NULL");
    };
    // The columns the import drops carry values too.
    return QStringLiteral("insert into MASTER (COLORNAME, COLORNUMBER, MFGPRODUCTNAME, PRODUCTID, RCOLOR, GCOLOR, "
                          "BCOLOR, BASENAME, FORMULADETAILSKEY, COSTCODE%11) values (%1, %2, %3, %4, %5, %6, %7, %8, "
                          "%9, %10%12)")
        .arg(QuotedLiteral(row.collection), QuotedLiteral(row.shade),
             QuotedLiteral(QStringLiteral("Produkt %1").arg(row.product)))
        .arg(row.product)
        .arg(channel(row.red), channel(row.green), channel(row.blue), QuotedLiteral(row.base))
        .arg(row.notice)
        .arg(QuotedLiteral(row.cost),
             delivered ? QStringLiteral(", INGREDIENT0ABBR, INGREDIENT0AMT, CANSIZE, BASEAMT") : QString(),
             delivered ? QStringLiteral(", 'OG', 1.5, '1 l', 998.5") : QString());
}

// Runs the statements in one transaction of a connection of its own.
inline void RunInOneTransaction(const QString &path, const QStringList &statements)
{
    AdminConnection c(path, QStringLiteral("qrFill"));
    for (const QString &statement : statements) {
        SetStatement(c.query, {statement});
        c.query.RunStatement();
    }
    c.tr.Commit();
}

// A delivered database (no KIMPORT yet) with PRODUKTE rows for the products
// of the rows, and the rows in MASTER.
inline void CreateDeliveredDatabase(const QString &path, const QList<MasterRow> &rows)
{
    CreateEmptyDatabase(path);
    CreateDeliveredSchema(path);
    std::set<int> products;
    QStringList statements;
    for (const MasterRow &row : rows) {
        if (products.insert(row.product).second)
            statements << QStringLiteral("insert into PRODUKTE (PID, PNAME) values (%1, 'Produkt %1')").arg(row.product);
        statements << MasterInsert(row);
    }
    RunInOneTransaction(path, statements);
}

// The server compares text of character set NONE byte by byte.
struct AnsiOrder {
    bool operator()(const QString &a, const QString &b) const { return ToAnsi(a) < ToAnsi(b); }
    bool operator()(const std::pair<QString, int> &a, const std::pair<QString, int> &b) const
    {
        return ToAnsi(a.first) != ToAnsi(b.first) ? (*this)(a.first, b.first) : a.second < b.second;
    }
};

// Dense ids from 1 in ascending order of the distinct values.
template <typename Key, typename Less>
std::map<Key, int, Less> DenseIds(const std::set<Key, Less> &values)
{
    std::map<Key, int, Less> ids;
    for (const Key &value : values)
        ids.emplace(value, int(ids.size()) + 1);
    return ids;
}

inline QList<QStringList> Sorted(QList<QStringList> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

using Triple = std::tuple<int, int, int>;

// What a full import of the rows must leave in the tables, every value as text.
struct ExpectedImport {
    QList<QStringList> farben;        // FID, FNAME by FID
    QList<QStringList> basen;         // BASEID, BNAME by BASEID
    QList<QStringList> rgbcolors;     // COLORID, RCOLOR, GCOLOR, BCOLOR by COLORID
    QList<QStringList> kollektionen;  // KPID, KID, KNAME, KIMPORT, sorted as text
    QList<QStringList> kombidaten;    // K_FID .. K_COST, sorted as text

    explicit ExpectedImport(const QList<MasterRow> &rows)
    {
        std::set<QString, AnsiOrder> shades, bases, collections;
        std::set<Triple, std::less<>> triples;
        std::set<std::pair<QString, int>, AnsiOrder> pairs;
        const auto triple = [](const MasterRow &row) {
            return Triple{row.red.value_or(0), row.green.value_or(0), row.blue.value_or(0)};
        };
        for (const MasterRow &row : rows) {
            shades.insert(row.shade);
            bases.insert(row.base);
            collections.insert(row.collection);
            triples.insert(triple(row));
            pairs.insert({row.collection, row.product});
        }
        const auto fid = DenseIds(shades), baseId = DenseIds(bases), kid = DenseIds(collections);
        const auto colorId = DenseIds(triples);
        for (const auto &[name, id] : fid)
            farben << QStringList{QString::number(id), name};
        for (const auto &[name, id] : baseId)
            basen << QStringList{QString::number(id), name};
        for (const auto &[t, id] : colorId)
            rgbcolors << QStringList{QString::number(id), QString::number(std::get<0>(t)),
                                     QString::number(std::get<1>(t)), QString::number(std::get<2>(t))};
        for (const auto &[name, id] : kid)
            kollektionen << QStringList{QStringLiteral("0"), QString::number(id), name, QStringLiteral("J")};
        for (const auto &[name, product] : pairs)
            kollektionen << QStringList{QString::number(product), QString::number(kid.at(name)), name,
                                        QStringLiteral("J")};
        for (const MasterRow &row : rows)
            kombidaten << QStringList{QString::number(fid.at(row.shade)), QString::number(kid.at(row.collection)),
                                      QString::number(row.product), QString::number(colorId.at(triple(row))),
                                      QString::number(baseId.at(row.base)), QString::number(row.notice), row.cost};
        kollektionen = Sorted(kollektionen);
        kombidaten = Sorted(kombidaten);
    }
    // As ImportedTables reads them; MASTER is empty.
    QList<QList<QStringList>> Tables() const { return {farben, basen, rgbcolors, kollektionen, kombidaten, {}}; }
};

// Rows written as "a b c; d e f" (values without blanks), sorted.
inline QList<QStringList> Table(const QString &text)
{
    QList<QStringList> rows;
    for (const QString &row : text.split(QLatin1Char(';')))
        rows << row.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return Sorted(rows);
}

inline QList<QStringList> KombidatenRows(const QString &path)
{
    return Sorted(QueryRows(path, QStringLiteral("select K_FID, K_KID, K_PID, K_COLORID, K_BASEID, K_FDETID, K_COST "
                                                 "from KOMBIDATEN")));
}

inline QList<QStringList> KollektionenRows(const QString &path)
{
    return Sorted(QueryRows(path, QStringLiteral("select KPID, KID, KNAME, KIMPORT from KOLLEKTIONEN")));
}

// Everything an import leaves, ids included, and what stays in MASTER (unless
// MASTER is left out).
inline QList<QList<QStringList>> ImportedTables(const QString &path, bool withMaster = true)
{
    QList<QList<QStringList>> tables{
        QueryRows(path, QStringLiteral("select FID, FNAME from FARBEN order by FID")),
        QueryRows(path, QStringLiteral("select BASEID, BNAME from BASEN order by BASEID")),
        QueryRows(path, QStringLiteral("select COLORID, RCOLOR, GCOLOR, BCOLOR from RGBCOLORS order by COLORID")),
        KollektionenRows(path), KombidatenRows(path)};
    if (withMaster)
        tables << QueryRows(path, QStringLiteral("select * from MASTER"));
    return tables;
}

inline int Count(const QString &path, const QString &table, const QString &where = QString())
{
    return QueryInt(path, QStringLiteral("select count(*) from ") + table +
                              (where.isEmpty() ? QString() : QStringLiteral(" where ") + where));
}

// The entries of a log file without their date and time.
inline QStringList LogMessages(const QString &programFolder)
{
    QFile file(programFolder + QLatin1Char('/') + LogFileName(QDate::currentDate()));
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<no log>")};
    const QString text = FromAnsi(file.readAll());
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}( \\d\\d:\\d\\d:\\d\\d)? - "),
                                          QRegularExpression::MultilineOption);
    QStringList messages;
    qsizetype last = -1;
    for (const QRegularExpressionMatch &match : stamp.globalMatch(text)) {
        if (last >= 0)
            messages << text.mid(last, match.capturedStart() - last);
        last = match.capturedEnd();
    }
    if (last >= 0)
        messages << text.mid(last);
    // Every entry ends with CR LF.
    for (QString &message : messages) {
        if (!message.endsWith(QStringLiteral("\r\n")))
            return {QStringLiteral("<entry without CR LF>")};
        message.chop(2);
    }
    return messages;
}

// The log's first two entries: the start and the pending pairs' statement.
inline QStringList LogHead()
{
    return {QStringLiteral("START CreateTableKOMBIDATEN"),
            QStringLiteral("SQL: KOLLEKTIONEN select * from KOLLEKTIONEN where KIMPORT<>'J'\r\nand KPID>0\r\n"
                           "order by KID\r\n")};
}

// One pair's entries: its old combinations deleted, its rows read, one
// colour lookup per row (the channels in MASTER's order of the rows), its
// MASTER rows deleted, the commit.
inline QStringList PairLog(int product, int kid, const QString &name, const QList<Triple> &colours)
{
    const QString p = QString::number(product);
    const QString quoted = DoubleQuotes(name);
    QStringList entries{QStringLiteral("SQL: LÖSCHEN KOMBIDATEN delete from KOMBIDATEN\r\nwhere K_PID = %1\r\n"
                                       "and   K_KID = %2\r\n").arg(p).arg(kid),
                        QStringLiteral("SQL: LESEN MASTER select COLORNUMBER,COLORNAME,COLORNUMBER,PRODUCTID,BASENAME,"
                                       "RCOLOR,GCOLOR,BCOLOR,FORMULADETAILSKEY,COSTCODE,FID,BASEID from MASTER,FARBEN,"
                                       "BASEN\r\nwhere PRODUCTID =%1\r\nand   COLORNAME ='%2'\r\n"
                                       "and   FNAME=COLORNUMBER\r\nand   BNAME=BASENAME\r\n").arg(p, quoted)};
    for (const auto &[r, g, b] : colours)
        entries << QStringLiteral("SQL: RGBCOLORS select * from RGBCOLORS\r\n where RCOLOR = %1\r\n"
                                  "   and GCOLOR = %2\r\n   and BCOLOR = %3\r\n").arg(r).arg(g).arg(b);
    return entries << QStringLiteral("SQL:MASTER:DELETE delete from MASTER\r\nwhere PRODUCTID =%1\r\n"
                                     "and   COLORNAME ='%2'\r\n").arg(p, quoted)
                   << QStringLiteral("Neue Datei nach Produkt-ID ") + p;
}

// The log of a full import of the rows (MASTER in their order): the pairs by
// collection id; the pairs of one collection in the order of their products.
inline QStringList ExpectedLog(const QList<MasterRow> &rows)
{
    std::set<QString, AnsiOrder> names;
    for (const MasterRow &row : rows)
        names.insert(row.collection);
    const auto kid = DenseIds(names);
    std::map<std::pair<int, int>, std::pair<QString, QList<Triple>>> pairs;  // (KID, product)
    for (const MasterRow &row : rows) {
        auto &pair = pairs[{kid.at(row.collection), row.product}];
        pair.first = row.collection;
        pair.second << Triple{row.red.value_or(0), row.green.value_or(0), row.blue.value_or(0)};
    }
    QStringList log = LogHead();
    for (const auto &[key, pair] : pairs)
        log << PairLog(key.second, key.first, pair.first, pair.second);
    return log;
}

// A generated MASTER: every collection offered for a run of products, each of
// its shades mixed for each of them. Names with a quote and umlauts included;
// every seventh shade shares the colour of the one before.
inline QList<MasterRow> GeneratedMaster(int collections, int shadesPerCollection, int productsPerCollection)
{
    static const QStringList names = QStringLiteral(
        "Farben d'Italia;Wandgrün;Acryl Spezial;Ölfarben;Nordlicht;Zeta Töne;Basis;Erdtöne").split(QLatin1Char(';'));
    static const QStringList bases{QStringLiteral("Basis A"), QStringLiteral("Basis B"), QStringLiteral("Basis C"),
                                   QStringLiteral("TR")};
    QList<MasterRow> rows;
    quint32 h = 1957;
    const auto next = [&h](int range) {
        h = h * 1103515245u + 12345u;
        return static_cast<int>((h >> 16) % static_cast<quint32>(range));
    };
    int red = 0, green = 0, blue = 0;
    for (int c = 0; c < collections; ++c) {
        const QString name = names.at(c % names.size()) + (c < names.size() ? QString() : QString::number(c));
        for (int s = 0; s < shadesPerCollection; ++s) {
            if (s % 7 != 3) {
                red = next(256);
                green = next(256);
                blue = next(256);
            }
            // A few shade names recur in several collections.
            const QString shade = s % 40 == 0 ? QStringLiteral("Weiß %1").arg(s)
                                              : QStringLiteral("%1 %2").arg(name.left(2).toUpper()).arg(s + 101);
            for (int p = 0; p < productsPerCollection; ++p) {
                const QString base = bases.at(next(bases.size()));
                const int notice = next(10) == 0 ? 1 + next(5) : 0;
                rows << MasterRow{name, shade, 10 + (c * 3 + p) % 12, red, green, blue, base, notice,
                                  QString::number(1 + next(9))};
            }
        }
    }
    return rows;
}

// The program on a temporary program folder, its boxes answered by a script
// (the default button when the script has no answer), its boxes and status
// texts recorded from each start on.
class ImportFixture {
public:
    TempProgramFolder folder;
    QList<MessageBoxRequest> boxes;
    QStringList statuses;
    // Answers for the boxes with more than one button, in order.
    QList<MsgButton> answers;
    // Runs whenever a status text is shown.
    std::function<void(const QString &)> onStatus;
    std::unique_ptr<ProgramRun> run;

    ImportFixture() = default;
    explicit ImportFixture(const QList<MasterRow> &rows) { CreateDeliveredDatabase(db(), rows); }
    QString db() const { return folder.databasePath(); }

    void Start()
    {
        boxes.clear();
        run = std::make_unique<ProgramRun>(folder.path(), [this](const MessageBoxRequest &request) {
            boxes << request;
            if (request.buttons.size() > 1 && !answers.isEmpty())
                return answers.takeFirst();
            return request.defaultButton;
        });
        QObject::connect(ui().sb1, &QStatusBar::messageChanged, ui().sb1, [this](const QString &text) {
            statuses << text;
            if (onStatus)
                onStatus(text);
        });
        statuses.clear();
    }
    // The user's click on "Import Master-Table".
    void Import() const { run->Click(ui().btImportMaster); }
    // Closes the program: its transaction commits.
    void Stop() { run.reset(); }
    void RunImport()
    {
        Start();
        Import();
        Stop();
    }
    Ui::TfmHaupt1 &ui() const { return run->ui(); }
    bool ImportOffered() const { return !ui().btImportMaster->isHidden(); }

    QStringList BoxTexts() const
    {
        QStringList texts;
        for (const MessageBoxRequest &box : boxes)
            texts << box.text;
        return texts;
    }
};

