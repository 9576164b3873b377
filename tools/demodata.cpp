#include "tools/demodata.h"

#include "data/credentials.h"
#include "data/ib.h"
#include "data/sql.h"

#include <QFile>

#include <iterator>
#include <span>

namespace {

// The invented paint shop. Products are listed in pool order: each
// collection is tinted for a contiguous run of them.
struct Product {
    int id;
    const char16_t *name;
    int priceLevel;  // lowest price group of the product
    bool clear;      // tinted on the transparent base "TR"
};

const Product kProducts[] = {
    {40, u"Holzlasur", 2, true},
    {41, u"Holzschutzfarbe", 2, false},
    {30, u"Lack & Lasur", 3, true},
    {31, u"Buntlack seidenmatt", 3, false},
    {32, u"Buntlack hochglänzend", 4, false},
    {33, u"Heizkörperlack", 3, false},
    {34, u"Fenster- & Türenlack", 4, false},
    {50, u"Metallschutzlack", 5, false},
    {42, u"Bodenbeschichtung", 4, false},
    {60, u"Kreidefarbe", 2, false},
    {10, u"Innenfarbe Classic", 1, false},
    {11, u"Innenfarbe „Atelier“ matt", 2, false},
    {12, u"Latexfarbe seidenglänzend", 2, false},
    {13, u"Küchen- & Badfarbe", 2, false},
    {20, u"Fassadenfarbe Acryl", 2, false},
    {21, u"Fassadenfarbe Silikonharz", 3, false},
    {22, u"Sockelfarbe", 2, false},
    {23, u"Betonfarbe", 3, false},
    {51, u"Dachfarbe", 3, false},
    {90, u"Tiefgrund LF", 1, false},  // a primer: never tinted, no MASTER rows
};

struct Word {
    const char16_t *name;
    int r, g, b;
    int code;  // thousands digit of the numbered names
};

// A colour fan. The first one names its shades by word and number
// ("Weiß 9010"), taking the words in turn; the others by prefix, running
// number and a word drawn at random ("WG 101 Salbei").
struct Collection {
    const char16_t *name;
    const char16_t *prefix;
    int poolStart, poolLength;
    std::span<const Word> words;
};

const Word kRal[] = {
    {u"Weiß", 244, 244, 238, 9}, {u"Gelb", 236, 190, 40, 1},   {u"Orange", 226, 110, 30, 2},
    {u"Rot", 165, 32, 40, 3},    {u"Violett", 110, 60, 120, 4}, {u"Blau", 30, 80, 150, 5},
    {u"Grün", 40, 115, 70, 6},   {u"Grau", 135, 140, 140, 7},  {u"Braun", 110, 70, 45, 8},
    {u"Schwarz", 28, 28, 30, 9},
};
const Word kWandgruen[] = {
    {u"Salbei", 156, 175, 136, 0},    {u"Moosgrün", 96, 112, 60, 0},    {u"Farn", 79, 121, 66, 0},
    {u"Minze", 170, 220, 190, 0},     {u"Lindgrün", 190, 214, 120, 0},  {u"Olivgrün", 110, 110, 50, 0},
    {u"Jade", 0, 130, 100, 0},        {u"Efeu", 50, 90, 50, 0},         {u"Pistazie", 190, 200, 150, 0},
    {u"Tannengrün", 30, 70, 50, 0},   {u"Schilfgrün", 150, 160, 110, 0}, {u"Kräutergrün", 120, 140, 90, 0},
    {u"Gräsergrün", 120, 165, 80, 0}, {u"Birkengrün", 180, 200, 140, 0},
};
const Word kItalia[] = {
    {u"Terracotta", 200, 100, 70, 0},     {u"Siena", 160, 80, 45, 0},        {u"Ocra", 200, 150, 70, 0},
    {u"Umbria", 120, 85, 60, 0},          {u"Limone", 240, 230, 120, 0},     {u"Oliva", 130, 130, 70, 0},
    {u"Cotto", 190, 110, 80, 0},          {u"Rosso Veneziano", 150, 40, 40, 0}, {u"Azzurro", 100, 150, 200, 0},
    {u"Giallo d'Oro", 230, 180, 60, 0},   {u"Rosa Antico", 200, 150, 150, 0}, {u"Verde Salvia", 150, 170, 140, 0},
    {u"Marmo", 230, 225, 215, 0},         {u"Lavanda", 170, 160, 200, 0},
};
const Word kNordlicht[] = {
    {u"Fjordblau", 60, 100, 140, 0},   {u"Eisblau", 200, 225, 240, 0},   {u"Polarweiß", 245, 248, 250, 0},
    {u"Nebelgrau", 180, 185, 190, 0},  {u"Birke", 220, 210, 190, 0},     {u"Gletscher", 170, 210, 220, 0},
    {u"Moorbraun", 90, 70, 55, 0},     {u"Rentier", 140, 110, 85, 0},    {u"Schärengrau", 120, 130, 135, 0},
    {u"Nordsee", 70, 110, 120, 0},     {u"Mittsommer", 250, 220, 130, 0}, {u"Lachsrot", 240, 140, 110, 0},
    {u"Flieder", 190, 170, 210, 0},
};
const Word kErdtoene[] = {
    {u"Lehm", 170, 130, 90, 0},         {u"Sand", 220, 200, 160, 0},      {u"Ocker", 200, 150, 60, 0},
    {u"Umbra", 100, 75, 55, 0},         {u"Ziegelrot", 160, 70, 50, 0},   {u"Tonerde", 180, 120, 90, 0},
    {u"Sandstein", 210, 185, 145, 0},   {u"Kastanie", 110, 60, 40, 0},    {u"Muschelkalk", 225, 215, 195, 0},
    {u"Schiefer", 80, 85, 90, 0},       {u"Lößgelb", 215, 185, 120, 0},   {u"Rötel", 150, 70, 60, 0},
    {u"Dünensand", 230, 210, 170, 0},
};
const Word kPastell[] = {
    {u"Puderrosa", 240, 205, 205, 0},     {u"Apricot", 250, 210, 170, 0},  {u"Vanille", 250, 240, 200, 0},
    {u"Himmelblau", 190, 215, 240, 0},    {u"Mint", 200, 235, 215, 0},     {u"Zartlila", 220, 205, 235, 0},
    {u"Pfirsich", 250, 200, 170, 0},      {u"Babyblau", 200, 220, 245, 0}, {u"Zitronencreme", 250, 245, 190, 0},
    {u"Rosé", 235, 195, 195, 0},          {u"Perlgrau", 215, 215, 210, 0}, {u"Hauch von Grün", 215, 230, 205, 0},
    {u"Cremeweiß", 250, 245, 230, 0},
};
const Word kFassade[] = {
    {u"Kalkweiß", 245, 243, 235, 0},   {u"Altweiß", 235, 230, 215, 0},    {u"Sandgelb", 225, 200, 140, 0},
    {u"Terrakotta", 190, 100, 70, 0},  {u"Ziegel", 170, 80, 60, 0},       {u"Hellgrau", 200, 200, 195, 0},
    {u"Steingrau", 150, 150, 140, 0},  {u"Anthrazit", 60, 65, 70, 0},     {u"Toskanagelb", 230, 190, 100, 0},
    {u"Lachs", 235, 160, 130, 0},      {u"Friesenblau", 70, 110, 150, 0}, {u"Landhausgrün", 110, 140, 100, 0},
    {u"Taubenblau", 140, 160, 180, 0}, {u"Kaschmir", 200, 180, 160, 0},
};
const Word kHolz[] = {
    {u"Eiche hell", 200, 160, 100, 0},    {u"Eiche rustikal", 150, 100, 55, 0}, {u"Kiefer", 215, 170, 100, 0},
    {u"Lärche", 190, 120, 70, 0},         {u"Nussbaum", 100, 65, 40, 0},       {u"Teak", 150, 90, 45, 0},
    {u"Mahagoni", 110, 45, 30, 0},        {u"Palisander", 80, 40, 30, 0},      {u"Ebenholz", 40, 30, 25, 0},
    {u"Kirschbaum", 160, 80, 50, 0},      {u"Weißbuche", 225, 210, 180, 0},    {u"Wenge", 65, 50, 40, 0},
    {u"Schwedenrot", 140, 40, 35, 0},     {u"Silbergrau", 170, 170, 165, 0},
};

const Collection kCollections[] = {
    {u"RAL Classic", u"", 2, 17, kRal},
    {u"Wandgrün", u"WG", 9, 5, kWandgruen},
    {u"Farben d'Italia", u"IT", 9, 7, kItalia},
    {u"Nordlicht", u"NL", 10, 6, kNordlicht},
    {u"Erdtöne", u"ET", 14, 5, kErdtoene},
    {u"Pastell & Puder", u"PP", 9, 4, kPastell},
    {u"Fassadenfächer", u"FF", 14, 4, kFassade},
    {u"Holz & Natur", u"HN", 0, 3, kHolz},
};

// Tinting pastes.
const char16_t *const kColorants[] = {u"OG", u"OR", u"OS", u"PB", u"PG", u"GE",
                                      u"RO", u"VI", u"UB", u"OK", u"WE", u"MA"};

struct CanSize {
    const char16_t *name;
    const char *litres;
};
const CanSize kCans[] = {{u"1 l", "1"}, {u"2,5 l", "2.5"}, {u"5 l", "5"}, {u"10 l", "10"}, {u"12,5 l", "12.5"}};

struct Notice {
    int key;
    const char16_t *warning;
    const char16_t *text;
};

const Notice kNotices[] = {
    {1, u"Nur für Innenanwendungen geeignet!",
     u"Dieser Farbton enthält organische Pigmente mit eingeschränkter Lichtechtheit.\r\n"
     u"Im Außenbereich kann er schon nach wenigen Monaten ausbleichen.\r\n"
     u"Bitte nur für Innenflächen ausmischen."},
    {2, u"Deckkraft eingeschränkt+Zwei Anstriche erforderlich",
     u"Der Farbton wird auf einer Basis mit geringem Weißanteil ausgemischt.\r\n"
     u"Auf hellen Untergründen sind mindestens zwei volle Anstriche nötig.\r\n"
     u"\r\n"
     u"Tipp: Grundierung im Grauton G3 verwenden."},
    {3, u"Nur mit grauer Grundierung verarbeiten",
     u"Intensive Rot- und Gelbtöne decken auf weißem Grund schlecht.\r\n"
     u"Vorher eine Grundierung im passenden Grauton auftragen."},
    {4, u"Intensiver Farbton+Probefläche anlegen, Abweichungen möglich",
     u"Bei stark pigmentierten Farbtönen kann der Farbeindruck je nach Licht\r\n"
     u"und Untergrund vom Fächer abweichen.\r\n"
     u"Bitte vor der Verarbeitung eine Probefläche von 1 m² anlegen."},
    {5, u"Nicht auf Kunststoff+Haftgrund verwenden",
     u"Auf Kunststoff und Zink haftet der Lack nur mit Haftgrund.\r\n"
     u"Untergrund anschleifen, entfetten und den Haftgrund 12 h trocknen lassen."},
    {10, u"Mischzeit mindestens 3 Minuten",
     u"Die Pigmentpasten dieses Farbtons setzen sich schnell ab.\r\n"
     u"Gebinde nach dem Tönen mindestens 3 Minuten im Rüttler mischen\r\n"
     u"und vor dem Gebrauch nochmals aufrühren."},
    {20, u"Ausmischung & Lieferung nur auf Anfrage",
     u"Der Farbton ist nicht Teil des Standardsortiments.\r\n"
     u"Bitte Verfügbarkeit und Lieferzeit beim Werk anfragen (Fax 0 12 34/56 78-9)."},
};

struct Column {
    QString name;
    QString type;
};

// MASTER as delivered, in column order.
QList<Column> MasterColumns()
{
    QList<Column> columns = {
        {QStringLiteral("COLORNAME"), QStringLiteral("VARCHAR(60)")},
        {QStringLiteral("COLORNUMBER"), QStringLiteral("VARCHAR(60)")},
        {QStringLiteral("MFGPRODUCTNAME"), QStringLiteral("VARCHAR(60)")},
        {QStringLiteral("PRODUCTID"), QStringLiteral("INTEGER")},
        {QStringLiteral("RCOLOR"), QStringLiteral("INTEGER")},
        {QStringLiteral("GCOLOR"), QStringLiteral("INTEGER")},
        {QStringLiteral("BCOLOR"), QStringLiteral("INTEGER")},
        {QStringLiteral("BASENAME"), QStringLiteral("VARCHAR(20)")},
        {QStringLiteral("FORMULADETAILSKEY"), QStringLiteral("INTEGER")},
        {QStringLiteral("COSTCODE"), QStringLiteral("VARCHAR(10)")},
    };
    for (int i = 0; i < 6; ++i) {
        columns.append({QStringLiteral("INGREDIENT%1ABBR").arg(i), QStringLiteral("VARCHAR(10)")});
        columns.append({QStringLiteral("INGREDIENT%1AMT").arg(i), QStringLiteral("DOUBLE PRECISION")});
    }
    columns.append({QStringLiteral("CANSIZE"), QStringLiteral("VARCHAR(10)")});
    columns.append({QStringLiteral("BASEAMT"), QStringLiteral("DOUBLE PRECISION")});
    return columns;
}

// A text literal of the database's character set. Over the ASCII connection
// a plain literal would turn every expression it meets into ASCII, which
// cannot hold the Windows-1252 bytes of the names.
QString Lit(const QString &text)
{
    return QStringLiteral("_NONE ") + QuotedLiteral(text);
}

// "CASE selector WHEN 0 THEN values[0] WHEN 1 THEN ... END"
QString Case(const QString &selector, const QStringList &values)
{
    QString out = QStringLiteral("CASE ") + selector;
    for (qsizetype i = 0; i < values.size(); ++i)
        out += QStringLiteral(" WHEN %1 THEN %2").arg(QString::number(i), values.at(i));
    return out + QStringLiteral(" END");
}

template <typename T, typename F>
QStringList Each(const T &items, F value)
{
    QStringList out;
    for (const auto &item : items)
        out << value(item);
    return out;
}

QString Number(int value)
{
    return QString::number(value);
}

// A value per product, chosen by the product index p.
template <typename F>
QString ProductCase(F value)
{
    return Case(QStringLiteral("p"), Each(kProducts, value));
}

// A value per collection, chosen by the collection index c.
template <typename F>
QString CollectionCase(F value)
{
    return Case(QStringLiteral("c"), Each(kCollections, value));
}

// The generator step; all random choices take bits above the low 16 of h.
const QString kStep = QStringLiteral("h = MOD(h * 1103515245 + 12345, 2147483648);");

}  // namespace

QStringList DeliveredSchemaStatements()
{
    const QStringList columns = Each(MasterColumns(), [](const Column &c) { return c.name + ' ' + c.type; });
    QStringList statements = {
        QStringLiteral("CREATE TABLE PRODUKTE (PID INTEGER, PNAME VARCHAR(60))"),
        QStringLiteral("CREATE TABLE FORMULADETAILS (FORMULADETAILSKEY INTEGER, WARNINGTEXT VARCHAR(200), "
                       "FORMULADETAILSTEXT BLOB SUB_TYPE TEXT)"),
        QStringLiteral("CREATE TABLE KOLLEKTIONEN (KPID INTEGER, KID INTEGER, KNAME VARCHAR(60))"),
        QStringLiteral("CREATE TABLE MASTER (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')'),
    };
    for (const char *table : {"PRODUKTE", "FORMULADETAILS", "KOLLEKTIONEN", "MASTER"})
        statements << QStringLiteral("GRANT ALL ON %1 TO QELMMASTER").arg(QLatin1String(table));
    return statements;
}

QList<DemoProduct> DemoProducts()
{
    QList<DemoProduct> out;
    for (const Product &p : kProducts)
        out.append({p.id, QString::fromUtf16(p.name)});
    return out;
}

QStringList DemoCollections()
{
    return Each(kCollections, [](const Collection &c) { return QString::fromUtf16(c.name); });
}

QString MasterFillStatement(int rows, std::uint32_t seed)
{
    // All words of all collections in one list; a collection's words start
    // at its offset.
    QStringList words, reds, greens, blues, codes, wordOffsets;
    for (const Collection &c : kCollections) {
        wordOffsets << Number(static_cast<int>(words.size()));
        for (const Word &w : c.words) {
            words << Lit(QString::fromUtf16(w.name));
            reds << Number(w.r);
            greens << Number(w.g);
            blues << Number(w.b);
            codes << Number(w.code);
        }
    }
    // The first fan takes its words in turn, the others draw them.
    QStringList wordChoice;
    for (const Collection &c : kCollections)
        wordChoice << QStringLiteral("%1 + MOD(%2, %3)")
                          .arg(wordOffsets.at(wordChoice.size()),
                               wordChoice.isEmpty() ? QStringLiteral("k") : QStringLiteral("h / 65536"),
                               Number(static_cast<int>(c.words.size())));
    const QList<Column> columns = MasterColumns();

    QStringList t;
    t << QStringLiteral("EXECUTE BLOCK AS");
    for (const char *name : {"n", "s", "c", "k", "w", "ps", "pl", "cnt", "o", "j", "p", "lum", "bc", "m", "q"})
        t << QStringLiteral("DECLARE %1 INTEGER = 0;").arg(QLatin1String(name));
    t << QStringLiteral("DECLARE h BIGINT = %1;").arg(seed % 2147483648u);
    t << QStringLiteral("DECLARE lit DOUBLE PRECISION;");
    t << QStringLiteral("DECLARE wort VARCHAR(60) CHARACTER SET NONE;");
    t << QStringLiteral("DECLARE shadebase VARCHAR(20) CHARACTER SET NONE;");
    for (int i = 0; i < 6; ++i)
        t << QStringLiteral("DECLARE a%1 VARCHAR(10) CHARACTER SET NONE; DECLARE x%1 DOUBLE PRECISION;").arg(i);
    for (const Column &column : columns)
        t << QStringLiteral("DECLARE %1 %2%3;")
                 .arg(column.name, column.type,
                      column.type.startsWith(QStringLiteral("VARCHAR")) ? QStringLiteral(" CHARACTER SET NONE")
                                                                        : QString());
    t << QStringLiteral("BEGIN");
    t << QStringLiteral("WHILE (n < %1) DO").arg(rows);
    t << QStringLiteral("BEGIN");
    // One shade: collections take turns.
    t << QStringLiteral("c = MOD(s, %1);").arg(std::size(kCollections));
    t << QStringLiteral("k = s / %1;").arg(std::size(kCollections));
    t << kStep;
    t << QStringLiteral("COLORNAME = ") +
             CollectionCase([](const Collection &c) { return Lit(QString::fromUtf16(c.name)); }) + ';';
    t << QStringLiteral("ps = ") + CollectionCase([](const Collection &c) { return Number(c.poolStart); }) + ';';
    t << QStringLiteral("pl = ") + CollectionCase([](const Collection &c) { return Number(c.poolLength); }) + ';';
    t << QStringLiteral("w = ") + Case(QStringLiteral("c"), wordChoice) + ';';
    t << QStringLiteral("wort = ") + Case(QStringLiteral("w"), words) + ';';
    // The first fan: word, thousands code, tens running on per word
    // ("Weiß 9010", "Weiß 9020", ...). The others: prefix, running number
    // from 101, word.
    t << QStringLiteral("IF (c = 0) THEN COLORNUMBER = wort || _NONE ' ' || (%1 * 1000 + 10 * (k / %2) + 10);")
             .arg(Case(QStringLiteral("w"), codes))
             .arg(kCollections[0].words.size());
    t << QStringLiteral("ELSE COLORNUMBER = ") +
             CollectionCase([](const Collection &c) { return Lit(QString::fromUtf16(c.prefix)); }) +
             QStringLiteral(" || _NONE ' ' || (k + 101) || _NONE ' ' || wort;");
    // The word's colour, lighter or darker, with a little noise per channel;
    // every seventh shade keeps the colour of the one before.
    t << QStringLiteral("IF (MOD(s, 7) <> 3) THEN BEGIN");
    t << QStringLiteral("q = MOD(h / 65536, 81) - 40;");
    for (const auto &[column, list] : {std::pair{QStringLiteral("RCOLOR"), reds},
                                      std::pair{QStringLiteral("GCOLOR"), greens},
                                      std::pair{QStringLiteral("BCOLOR"), blues}}) {
        t << kStep;
        t << QStringLiteral("%1 = MAXVALUE(0, MINVALUE(255, %2 + q + MOD(h / 65536, 25) - 12));")
                 .arg(column, Case(QStringLiteral("w"), list));
    }
    t << QStringLiteral("END");
    t << QStringLiteral("lum = (RCOLOR * 299 + GCOLOR * 587 + BCOLOR * 114) / 1000;");
    t << QStringLiteral("IF (lum >= 170) THEN BEGIN shadebase = _NONE 'Basis A'; bc = 0; END");
    t << QStringLiteral("ELSE IF (lum >= 110) THEN BEGIN shadebase = _NONE 'Basis B'; bc = 1; END");
    t << QStringLiteral("ELSE BEGIN shadebase = _NONE 'Basis C'; bc = 2; END");
    // The recipe: 1 to 6 different pastes, ml per litre of paint, more of
    // them and more of each the darker the shade.
    t << kStep;
    t << QStringLiteral("m = 1 + MOD(h / 65536, 4) + bc;");
    t << QStringLiteral("q = MOD(h / 256, %1);").arg(std::size(kColorants));
    const QStringList colorants = Each(kColorants, [](const char16_t *c) { return Lit(QString::fromUtf16(c)); });
    for (int i = 0; i < 6; ++i) {
        t << kStep;
        t << QStringLiteral("IF (%1 < m) THEN BEGIN a%1 = %2; x%1 = CAST(1 + MOD(h / 65536, 100) AS DOUBLE "
                            "PRECISION) * (8 + 255 - lum) / 400; END ELSE BEGIN a%1 = NULL; x%1 = NULL; END")
                 .arg(i)
                 .arg(Case(QStringLiteral("MOD(q + %1, %2)").arg(i * 5).arg(std::size(kColorants)), colorants));
    }
    // The products of the shade: 2 to 7 of the collection's pool.
    t << kStep;
    t << QStringLiteral("cnt = 2 + MOD(h / 65536, MINVALUE(pl, 7) - 1);");
    t << QStringLiteral("o = MOD(h / 256, pl);");
    t << QStringLiteral("j = 0;");
    t << QStringLiteral("WHILE (j < cnt AND n < %1) DO").arg(rows);
    t << QStringLiteral("BEGIN");
    t << kStep;
    t << QStringLiteral("p = ps + MOD(o + j, pl);");
    t << QStringLiteral("PRODUCTID = ") + ProductCase([](const Product &p) { return Number(p.id); }) + ';';
    t << QStringLiteral("MFGPRODUCTNAME = ") +
             ProductCase([](const Product &p) { return Lit(QString::fromUtf16(p.name)); }) + ';';
    t << QStringLiteral("IF (") + ProductCase([](const Product &p) { return Number(p.clear ? 1 : 0); }) +
             QStringLiteral(" = 1) THEN BASENAME = _NONE 'TR'; ELSE BASENAME = shadebase;");
    t << QStringLiteral("COSTCODE = ") + ProductCase([](const Product &p) { return Number(p.priceLevel); }) +
             QStringLiteral(" + bc + MOD(h / 65536, 2);");
    // About one combination in 25 carries a notice.
    t << QStringLiteral("IF (MOD(h / 1024, 100) < 4) THEN FORMULADETAILSKEY = ") +
             Case(QStringLiteral("MOD(h / 65536, %1)").arg(std::size(kNotices)),
                  Each(kNotices, [](const Notice &n) { return Number(n.key); })) +
             QStringLiteral("; ELSE FORMULADETAILSKEY = 0;");
    t << QStringLiteral("q = MOD(h / 131072, %1);").arg(std::size(kCans));
    t << QStringLiteral("CANSIZE = ") +
             Case(QStringLiteral("q"), Each(kCans, [](const CanSize &c) { return Lit(QString::fromUtf16(c.name)); })) +
             ';';
    t << QStringLiteral("lit = ") +
             Case(QStringLiteral("q"), Each(kCans, [](const CanSize &c) { return QString::fromLatin1(c.litres); })) +
             ';';
    QStringList amounts;
    for (int i = 0; i < 6; ++i) {
        t << QStringLiteral("INGREDIENT%1ABBR = a%1; INGREDIENT%1AMT = ROUND(x%1 * lit, 2);").arg(i);
        amounts << QStringLiteral(" - COALESCE(INGREDIENT%1AMT, 0)").arg(i);
    }
    t << QStringLiteral("BASEAMT = ROUND(lit * 1000") + amounts.join(QString()) + QStringLiteral(", 2);");
    t << QStringLiteral("INSERT INTO MASTER (") +
             Each(columns, [](const Column &c) { return c.name; }).join(QStringLiteral(", ")) +
             QStringLiteral(") VALUES (") +
             Each(columns, [](const Column &c) { return QLatin1Char(':') + c.name; }).join(QStringLiteral(", ")) +
             QStringLiteral(");");
    t << QStringLiteral("n = n + 1;");
    t << QStringLiteral("j = j + 1;");
    t << QStringLiteral("END");
    t << QStringLiteral("s = s + 1;");
    t << QStringLiteral("END");
    t << QStringLiteral("END");
    return t.join(QLatin1Char('\n'));
}

AdminConnection::AdminConnection(const QString &path, const QString &queryName) : query(queryName, &db, &tr)
{
    db.DatabaseName = path;
    db.Params = AdministratorParams;
    db.DefaultTransaction = &tr;
}

void AdminConnection::Run(const QString &statement)
{
    query.ClearLines();
    query.AddLine(statement);
    query.RunStatement();
    tr.CommitRetaining();
}

QList<QStringList> AdminConnection::Rows(const QString &select)
{
    query.ClearLines();
    query.AddLine(select);
    query.OpenQuery();
    QList<QStringList> rows;
    while (!query.AtEnd()) {
        QStringList row;
        for (const TField &field : query.Fields())
            row << field.AsString();
        rows << row;
        query.ToNextRow();
    }
    query.CloseQuery();
    return rows;
}

void CreateDemoDatabase(const QString &path, const DemoOptions &options)
{
    CreateDatabase(path);
    try {
        AdminConnection c(path, QStringLiteral("qrDemo"));
        for (const QString &statement : DeliveredSchemaStatements())
            c.Run(statement);
        for (const Product &p : kProducts)
            c.Run(QStringLiteral("INSERT INTO PRODUKTE (PID, PNAME) VALUES (%1, %2)")
                      .arg(p.id)
                      .arg(Lit(QString::fromUtf16(p.name))));
        for (const Notice &n : kNotices)
            c.Run(QStringLiteral("INSERT INTO FORMULADETAILS (FORMULADETAILSKEY, WARNINGTEXT, FORMULADETAILSTEXT) "
                                 "VALUES (%1, %2, %3)")
                      .arg(n.key)
                      .arg(Lit(QString::fromUtf16(n.warning)), Lit(QString::fromUtf16(n.text))));
        c.Run(MasterFillStatement(options.masterRows > 0 ? options.masterRows : kDemoMasterRows, options.seed));
        c.tr.Commit();
        c.db.SetConnected(false);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}
