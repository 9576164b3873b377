#include "tools/demodata.h"

#include "data/credentials.h"
#include "data/ib.h"
#include "data/sql.h"

#include <QFile>

#include <algorithm>
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

// Generated fans take the themes of the fixed ones but RAL, whose shade
// numbers carry no fan number and would repeat across fans.
const std::span<const Collection> kThemes = std::span(kCollections).subspan(1);

// Generated products: kind, line and running number ("Innenfarbe Premium 17").
struct ProductKind {
    const char16_t *name;
    int priceLevel;
    bool clear;
};

const ProductKind kKinds[] = {
    {u"Innenfarbe", 1, false},        {u"Latexfarbe", 2, false},       {u"Küchen- & Badfarbe", 2, false},
    {u"Fassadenfarbe", 2, false},     {u"Sockelfarbe", 2, false},      {u"Buntlack", 3, false},
    {u"Heizkörperlack", 3, false},    {u"Fenster- & Türenlack", 4, false}, {u"Metallschutzlack", 5, false},
    {u"Holzlasur", 2, true},          {u"Holzschutzfarbe", 2, false},  {u"Fußbodenfarbe", 4, false},
    {u"Betonfarbe", 3, false},        {u"Dachfarbe", 3, false},        {u"Kreidefarbe", 2, false},
};

const char16_t *const kLines[] = {u"Premium", u"Classic",  u"Profi", u"Satiné", u"Außen & Innen", u"Seidenglänzend",
                                  u"Matt",    u"Öko",      u"Plus",  u"Natur",  u"L'Original",    u"„Atelier“"};

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

// MASTER's column definitions, "NAME TYPE" joined by commas.
QString MasterColumnDefinitions()
{
    QStringList definitions;
    for (const Column &column : MasterColumns())
        definitions << column.name + QLatin1Char(' ') + column.type;
    return definitions.join(QStringLiteral(", "));
}

// A text literal of the database's character set. Over the ASCII connection
// a plain literal would turn every expression it meets into ASCII, which
// cannot hold the Windows-1252 bytes of the names.
QString Lit(const QString &text)
{
    return QStringLiteral("_NONE ") + QuotedLiteral(text);
}

QString Lit(const char16_t *text)
{
    return Lit(QString::fromUtf16(text));
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

// "WHILE (condition) DO BEGIN body END"
QStringList While(const QString &condition, const QStringList &body)
{
    return QStringList{QStringLiteral("WHILE (%1) DO").arg(condition), QStringLiteral("BEGIN")} + body +
           QStringList{QStringLiteral("END")};
}

int CeilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

}  // namespace

QStringList DeliveredSchemaStatements()
{
    QStringList statements = {
        QStringLiteral("CREATE TABLE PRODUKTE (PID INTEGER, PNAME VARCHAR(60))"),
        QStringLiteral("CREATE TABLE FORMULADETAILS (FORMULADETAILSKEY INTEGER, WARNINGTEXT VARCHAR(200), "
                       "FORMULADETAILSTEXT BLOB SUB_TYPE TEXT)"),
        QStringLiteral("CREATE TABLE KOLLEKTIONEN (KPID INTEGER, KID INTEGER, KNAME VARCHAR(60))"),
        QStringLiteral("CREATE TABLE MASTER (") + MasterColumnDefinitions() + QLatin1Char(')'),
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

namespace {

// All words of all fans in one list; a fan's words start at its offset.
struct WordTable {
    QStringList names, reds, greens, blues, codes;
    QList<int> offsets;  // per entry of kCollections
};

WordTable AllWords()
{
    WordTable t;
    for (const Collection &c : kCollections) {
        t.offsets << static_cast<int>(t.names.size());
        for (const Word &w : c.words) {
            t.names << Lit(w.name);
            t.reds << Number(w.r);
            t.greens << Number(w.g);
            t.blues << Number(w.b);
            t.codes << Number(w.code);
        }
    }
    return t;
}

// The index of a word of fan `index`, the word picked by `selector`.
QString WordOf(const WordTable &words, std::size_t index, const QString &selector)
{
    return QStringLiteral("%1 + MOD(%2, %3)")
        .arg(Number(words.offsets.at(index)), selector, Number(static_cast<int>(kCollections[index].words.size())));
}

// Sets `variable` to a pseudo-random number in 0 .. 2^31-1 for a fixed
// input, varied by the salt: the generated products and fans must not
// depend on the row order. The shift-and-xor breaks up the lattice an
// affine step alone leaves over consecutive inputs.
QStringList Hash(const QString &variable, const QString &input, std::uint32_t salt)
{
    return {QStringLiteral("%1 = MOD((%2 + %3) * 1103515245 + 12345, 2147483648);")
                .arg(variable, input, QString::number(salt)),
            QStringLiteral("%1 = MOD(BIN_XOR(%1, %1 / 65536) * 73244475, 2147483648);").arg(variable)};
}

// A salt per purpose that changes with the seed.
std::uint32_t Salt(std::uint32_t seed, std::uint32_t purpose)
{
    std::uint32_t x = seed * 2654435761u ^ purpose * 40503u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return x % 1000003u;
}

QStringList Declarations(std::uint32_t seed)
{
    QStringList t = {QStringLiteral("EXECUTE BLOCK AS")};
    for (const char *name : {"n", "s", "c", "k", "w", "ps", "pl", "cnt", "o", "j", "p", "lum", "bc", "m", "q",
                             "t", "clr", "pr", "pkind", "tg", "lo", "hi"})
        t << QStringLiteral("DECLARE %1 INTEGER = 0;").arg(QLatin1String(name));
    t << QStringLiteral("DECLARE cap BIGINT = 0;");
    t << QStringLiteral("DECLARE hc BIGINT = 0;");
    t << QStringLiteral("DECLARE hp BIGINT = 0;");
    t << QStringLiteral("DECLARE h BIGINT = %1;").arg(seed % 2147483648u);
    t << QStringLiteral("DECLARE lit DOUBLE PRECISION;");
    t << QStringLiteral("DECLARE wort VARCHAR(60) CHARACTER SET NONE;");
    t << QStringLiteral("DECLARE shadebase VARCHAR(20) CHARACTER SET NONE;");
    for (int i = 0; i < 6; ++i)
        t << QStringLiteral("DECLARE a%1 VARCHAR(10) CHARACTER SET NONE; DECLARE x%1 DOUBLE PRECISION;").arg(i);
    for (const Column &column : MasterColumns())
        t << QStringLiteral("DECLARE %1 %2%3;")
                 .arg(column.name, column.type,
                      column.type.startsWith(QStringLiteral("VARCHAR")) ? QStringLiteral(" CHARACTER SET NONE")
                                                                        : QString());
    return t;
}

// Fixed paint shop: fan c, its k-th shade, its pool of products and the
// shade's word w and name.
QStringList FixedShade(const WordTable &words)
{
    // The first fan takes its words in turn, the others draw them.
    QStringList wordChoice;
    for (std::size_t i = 0; i < std::size(kCollections); ++i)
        wordChoice << WordOf(words, i, i == 0 ? QStringLiteral("k") : QStringLiteral("h / 65536"));
    QStringList t;
    t << QStringLiteral("c = MOD(s, %1);").arg(std::size(kCollections));
    t << QStringLiteral("k = s / %1;").arg(std::size(kCollections));
    t << kStep;
    t << QStringLiteral("COLORNAME = ") +
             CollectionCase([](const Collection &c) { return Lit(c.name); }) + ';';
    t << QStringLiteral("ps = ") + CollectionCase([](const Collection &c) { return Number(c.poolStart); }) + ';';
    t << QStringLiteral("pl = ") + CollectionCase([](const Collection &c) { return Number(c.poolLength); }) + ';';
    t << QStringLiteral("w = ") + Case(QStringLiteral("c"), wordChoice) + ';';
    t << QStringLiteral("wort = ") + Case(QStringLiteral("w"), words.names) + ';';
    // The first fan: word, thousands code, tens running on per word
    // ("Weiß 9010", "Weiß 9020", ...). The others: prefix, running number
    // from 101, word.
    t << QStringLiteral("IF (c = 0) THEN COLORNUMBER = wort || _NONE ' ' || (%1 * 1000 + 10 * (k / %2) + 10);")
             .arg(Case(QStringLiteral("w"), words.codes))
             .arg(kCollections[0].words.size());
    t << QStringLiteral("ELSE COLORNUMBER = ") +
             CollectionCase([](const Collection &c) { return Lit(c.prefix); }) +
             QStringLiteral(" || _NONE ' ' || (k + 101) || _NONE ' ' || wort;");
    return t;
}

// Generated fan c: theme t, run of pl products from product ps on (wrapping
// round). Runs start evenly over the products, so together they offer every
// product once they are at least products / collections long.
QStringList GeneratedFan(const DemoSize &size)
{
    const int run = std::max(CeilDiv(size.rows, size.shades), CeilDiv(size.products, size.collections));
    QStringList t;
    t << Hash(QStringLiteral("hc"), QStringLiteral("c"), Salt(size.seed, 1));
    t << QStringLiteral("t = MOD(hc / 65536, %1);").arg(kThemes.size());
    t << QStringLiteral("pl = MINVALUE(%1, %2 + MOD(hc / 65536 / %3, %4));")
             .arg(size.products)
             .arg(run)
             .arg(kThemes.size())
             .arg(run / 3 + 1);
    t << QStringLiteral("ps = MOD(c * %1 / %2 + %3, %1);")
             .arg(size.products)
             .arg(size.collections)
             .arg(Salt(size.seed, 2) % size.products);
    return t;
}

// Generated product p: "Innenfarbe Premium 17", PID p + 1, its price level
// pr and whether it is tinted on the clear base (clr).
QStringList GeneratedProduct(std::uint32_t seed)
{
    QStringList t;
    t << Hash(QStringLiteral("hp"), QStringLiteral("p"), Salt(seed, 3));
    t << QStringLiteral("pkind = MOD(hp / 65536, %1);").arg(std::size(kKinds));
    t << QStringLiteral("PRODUCTID = p + 1;");
    t << QStringLiteral("MFGPRODUCTNAME = %1 || _NONE ' ' || %2 || _NONE ' ' || (p + 1);")
             .arg(Case(QStringLiteral("pkind"),
                       Each(kKinds, [](const ProductKind &k) { return Lit(k.name); })),
                  Case(QStringLiteral("MOD(hp / 65536 / %1, %2)").arg(std::size(kKinds)).arg(std::size(kLines)),
                       Each(kLines, [](const char16_t *l) { return Lit(l); })));
    t << QStringLiteral("clr = ") +
             Case(QStringLiteral("pkind"), Each(kKinds, [](const ProductKind &k) { return Number(k.clear); })) + ';';
    t << QStringLiteral("pr = ") +
             Case(QStringLiteral("pkind"), Each(kKinds, [](const ProductKind &k) { return Number(k.priceLevel); })) +
             ';';
    return t;
}

// Before the shades: every generated product into PRODUKTE, and into cap
// the rows all fans can take (each shade at most once per product of its fan).
QStringList GeneratedProductsAndCapacity(const DemoSize &size)
{
    QStringList product = GeneratedProduct(size.seed);
    product << QStringLiteral("INSERT INTO PRODUKTE (PID, PNAME) VALUES (:PRODUCTID, :MFGPRODUCTNAME);");
    product << QStringLiteral("p = p + 1;");
    QStringList fan = GeneratedFan(size);
    // Shade s belongs to fan MOD(s, collections).
    fan << QStringLiteral("cap = cap + pl * (%1 + IIF(c < %2, 1, 0));")
               .arg(size.shades / size.collections)
               .arg(size.shades % size.collections);
    fan << QStringLiteral("c = c + 1;");
    return While(QStringLiteral("p < %1").arg(size.products), product) +
           While(QStringLiteral("c < %1").arg(size.collections), fan);
}

// Generated shade s: fan c, k-th shade of it ("WG12 101 Salbei" of "Wandgrün 12").
QStringList GeneratedShade(const DemoSize &size, const WordTable &words)
{
    QStringList wordChoice, names, prefixes;
    for (std::size_t i = 0; i < kThemes.size(); ++i) {
        wordChoice << WordOf(words, i + 1, QStringLiteral("h / 65536"));
        names << Lit(kThemes[i].name);
        prefixes << Lit(kThemes[i].prefix);
    }
    QStringList t;
    t << QStringLiteral("c = MOD(s, %1);").arg(size.collections);
    t << QStringLiteral("k = s / %1;").arg(size.collections);
    t << kStep;
    t << GeneratedFan(size);
    t << QStringLiteral("COLORNAME = ") + Case(QStringLiteral("t"), names) +
             QStringLiteral(" || _NONE ' ' || (c + 1);");
    t << QStringLiteral("w = ") + Case(QStringLiteral("t"), wordChoice) + ';';
    t << QStringLiteral("wort = ") + Case(QStringLiteral("w"), words.names) + ';';
    t << QStringLiteral("COLORNUMBER = ") + Case(QStringLiteral("t"), prefixes) +
             QStringLiteral(" || (c + 1) || _NONE ' ' || (k + 101) || _NONE ' ' || wort;");
    return t;
}

// The word's colour, lighter or darker, with a little noise per channel;
// every seventh shade keeps the colour of the one before. The lightness
// picks the base.
QStringList ShadeColour(const WordTable &words)
{
    QStringList t;
    t << QStringLiteral("IF (MOD(s, 7) <> 3) THEN BEGIN");
    t << QStringLiteral("q = MOD(h / 65536, 81) - 40;");
    for (const auto &[column, list] : {std::pair{QStringLiteral("RCOLOR"), words.reds},
                                      std::pair{QStringLiteral("GCOLOR"), words.greens},
                                      std::pair{QStringLiteral("BCOLOR"), words.blues}}) {
        t << kStep;
        t << QStringLiteral("%1 = MAXVALUE(0, MINVALUE(255, %2 + q + MOD(h / 65536, 25) - 12));")
                 .arg(column, Case(QStringLiteral("w"), list));
    }
    t << QStringLiteral("END");
    t << QStringLiteral("lum = (RCOLOR * 299 + GCOLOR * 587 + BCOLOR * 114) / 1000;");
    t << QStringLiteral("IF (lum >= 170) THEN BEGIN shadebase = _NONE 'Basis A'; bc = 0; END");
    t << QStringLiteral("ELSE IF (lum >= 110) THEN BEGIN shadebase = _NONE 'Basis B'; bc = 1; END");
    t << QStringLiteral("ELSE BEGIN shadebase = _NONE 'Basis C'; bc = 2; END");
    return t;
}

// The recipe: 1 to 6 different pastes, ml per litre of paint, more of them
// and more of each the darker the shade.
QStringList Recipe()
{
    QStringList t;
    t << kStep;
    t << QStringLiteral("m = 1 + MOD(h / 65536, 4) + bc;");
    t << QStringLiteral("q = MOD(h / 256, %1);").arg(std::size(kColorants));
    const QStringList colorants = Each(kColorants, [](const char16_t *c) { return Lit(c); });
    for (int i = 0; i < 6; ++i) {
        t << kStep;
        t << QStringLiteral("IF (%1 < m) THEN BEGIN a%1 = %2; x%1 = CAST(1 + MOD(h / 65536, 100) AS DOUBLE "
                            "PRECISION) * (8 + 255 - lum) / 400; END ELSE BEGIN a%1 = NULL; x%1 = NULL; END")
                 .arg(i)
                 .arg(Case(QStringLiteral("MOD(q + %1, %2)").arg(i * 5).arg(std::size(kColorants)), colorants));
    }
    return t;
}

// Fixed paint shop: the shade comes for 2 to 7 products of the fan's pool,
// from offset o on.
QStringList FixedRun()
{
    QStringList t;
    t << kStep;
    t << QStringLiteral("cnt = 2 + MOD(h / 65536, MINVALUE(pl, 7) - 1);");
    t << QStringLiteral("o = MOD(h / 256, pl);");
    return t;
}

// Generated shade: cnt products of the fan's run, about its share of the
// rows still to write. The bounds keep enough rows for every shade still
// to come and no more than those shades can take, so the total comes out
// exact.
QStringList GeneratedRun(const DemoSize &size)
{
    QStringList t;
    t << kStep;
    t << QStringLiteral("cap = cap - pl;");
    t << QStringLiteral("tg = (%1 - n) * pl / (cap + pl);").arg(size.rows);
    t << QStringLiteral("lo = MAXVALUE(1, %1 - n - cap);").arg(size.rows);
    t << QStringLiteral("hi = MINVALUE(pl, %1 - n - %2 + s + 1);").arg(size.rows).arg(size.shades);
    t << QStringLiteral("cnt = MAXVALUE(lo, MINVALUE(hi, tg + MOD(h / 65536, tg / 2 + 1) - tg / 4));");
    t << QStringLiteral("o = MOD(h / 256, pl);");
    return t;
}

// The fixed product p: PID, name, price level pr, clear base clr.
QStringList FixedProduct()
{
    QStringList t;
    t << QStringLiteral("PRODUCTID = ") + ProductCase([](const Product &p) { return Number(p.id); }) + ';';
    t << QStringLiteral("MFGPRODUCTNAME = ") +
             ProductCase([](const Product &p) { return Lit(p.name); }) + ';';
    t << QStringLiteral("clr = ") + ProductCase([](const Product &p) { return Number(p.clear); }) + ';';
    t << QStringLiteral("pr = ") + ProductCase([](const Product &p) { return Number(p.priceLevel); }) + ';';
    return t;
}

// The shade's MASTER rows, one for each of its cnt products, into the table
// (MASTER or one of its shape): `pick` finds product p from offset o in the
// fan's run, `product` describes it.
QStringList ShadeRows(const QString &table, int rows, const QString &pick, const QStringList &product)
{
    const QList<Column> columns = MasterColumns();
    QStringList t;
    t << kStep;
    t << QStringLiteral("p = %1;").arg(pick);
    t << product;
    t << QStringLiteral("IF (clr = 1) THEN BASENAME = _NONE 'TR'; ELSE BASENAME = shadebase;");
    t << QStringLiteral("COSTCODE = pr + bc + MOD(h / 65536, 2);");
    // About one combination in 25 carries a notice.
    t << QStringLiteral("IF (MOD(h / 1024, 100) < 4) THEN FORMULADETAILSKEY = ") +
             Case(QStringLiteral("MOD(h / 65536, %1)").arg(std::size(kNotices)),
                  Each(kNotices, [](const Notice &n) { return Number(n.key); })) +
             QStringLiteral("; ELSE FORMULADETAILSKEY = 0;");
    t << QStringLiteral("q = MOD(h / 131072, %1);").arg(std::size(kCans));
    t << QStringLiteral("CANSIZE = ") +
             Case(QStringLiteral("q"), Each(kCans, [](const CanSize &c) { return Lit(c.name); })) +
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
    t << QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
             Each(columns, [](const Column &c) { return c.name; }).join(QStringLiteral(", ")) +
             QStringLiteral(") VALUES (") +
             Each(columns, [](const Column &c) { return QLatin1Char(':') + c.name; }).join(QStringLiteral(", ")) +
             QStringLiteral(");");
    t << QStringLiteral("n = n + 1;");
    t << QStringLiteral("j = j + 1;");
    return QStringList{QStringLiteral("j = 0;")} + While(QStringLiteral("j < cnt AND n < %1").arg(rows), t);
}

}  // namespace

DemoSize ResolveDemoSize(const DemoOptions &options)
{
    const auto check = [](bool ok, const QString &message) {
        if (!ok)
            throw Exception(message);
    };
    check(options.masterRows >= 0 && options.masterRows <= kDemoMaxRows,
          QStringLiteral("MASTER rows: at most %1").arg(kDemoMaxRows));
    check(options.products >= 0 && options.products <= kDemoMaxProducts,
          QStringLiteral("products: at most %1").arg(kDemoMaxProducts));
    check(options.shades >= 0 && options.shades <= kDemoMaxShades,
          QStringLiteral("shades: at most %1").arg(kDemoMaxShades));
    check(options.collections >= 0 && options.collections <= kDemoMaxShades,
          QStringLiteral("collections: at most %1").arg(kDemoMaxShades));
    DemoSize size;
    size.seed = options.seed > 0 ? options.seed : kDemoSeed;
    if (options.products == 0 && options.collections == 0 && options.shades == 0) {
        size.rows = options.masterRows > 0 ? options.masterRows : kDemoMasterRows;
        size.products = static_cast<int>(std::size(kProducts));
        size.collections = static_cast<int>(std::size(kCollections));
        return size;
    }
    size.products = options.products > 0 ? options.products : static_cast<int>(std::size(kProducts));
    size.rows = options.masterRows > 0 ? options.masterRows
                                       : std::min(kDemoMaxRows, std::max(kDemoMasterRows, 4 * options.shades));
    size.shades = options.shades > 0 ? options.shades : std::max({1, options.collections, size.rows / 4});
    // By default a product is offered in about four fans, and there are at
    // least as many fans as in the fixed paint shop.
    const int fansForFour = CeilDiv(4 * size.products, CeilDiv(size.rows, size.shades));
    const int fixedFans = static_cast<int>(std::size(kCollections));
    size.collections =
        options.collections > 0 ? options.collections : std::min(size.shades, std::max(fixedFans, fansForFour));
    check(size.shades <= size.rows,
          QStringLiteral("%1 shades need at least %1 MASTER rows, one each").arg(size.shades));
    check(static_cast<qint64>(size.rows) <= static_cast<qint64>(size.shades) * size.products,
          QStringLiteral("%1 MASTER rows do not fit %2 shades of %3 products: a shade comes once per product")
              .arg(size.rows)
              .arg(size.shades)
              .arg(size.products));
    check(size.collections <= size.shades,
          QStringLiteral("%1 collections need at least %1 shades, one each").arg(size.collections));
    return size;
}

namespace {

// One EXECUTE BLOCK that writes exactly size.rows MASTER rows into the table
// on the server; with generated names it writes PRODUKTE first.
QString MasterFillStatement(const DemoSize &size, const QString &table)
{
    const WordTable words = AllWords();
    QStringList shade = size.GeneratedNames() ? GeneratedShade(size, words) : FixedShade(words);
    shade << ShadeColour(words) << Recipe();
    if (size.GeneratedNames()) {
        shade << GeneratedRun(size);
        shade << ShadeRows(table, size.rows, QStringLiteral("MOD(ps + MOD(o + j, pl), %1)").arg(size.products),
                           GeneratedProduct(size.seed));
    } else {
        shade << FixedRun();
        shade << ShadeRows(table, size.rows, QStringLiteral("ps + MOD(o + j, pl)"), FixedProduct());
    }
    shade << QStringLiteral("s = s + 1;");
    QStringList t = Declarations(size.seed);
    t << QStringLiteral("BEGIN");
    if (size.GeneratedNames())
        t << GeneratedProductsAndCapacity(size);
    t << While(QStringLiteral("n < %1").arg(size.rows), shade);
    t << QStringLiteral("END");
    return t.join(QLatin1Char('\n'));
}

}  // namespace

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

namespace {

// The rows go to a temporary table first, then into MASTER in product order.
void FillMasterByProduct(AdminConnection &c, const DemoSize &size)
{
    const QString scratch = QStringLiteral("MASTER_ERZEUGT");
    c.Run(QStringLiteral("CREATE GLOBAL TEMPORARY TABLE %1 (%2) ON COMMIT PRESERVE ROWS")
              .arg(scratch, MasterColumnDefinitions()));
    c.Run(MasterFillStatement(size, scratch));
    c.Run(QStringLiteral("INSERT INTO MASTER SELECT * FROM %1 ORDER BY PRODUCTID, COLORNAME, COLORNUMBER").arg(scratch));
    // The table's rows stay with the connection until it ends.
    c.tr.Commit();
    c.db.SetConnected(false);
    c.Run(QStringLiteral("DROP TABLE %1").arg(scratch));
}

}  // namespace

void CreateDemoDatabase(const QString &path, const DemoOptions &options)
{
    const DemoSize size = ResolveDemoSize(options);
    CreateDatabase(path);
    try {
        AdminConnection c(path, QStringLiteral("qrDemo"));
        for (const QString &statement : DeliveredSchemaStatements())
            c.Run(statement);
        if (!size.GeneratedNames())
            for (const Product &p : kProducts)
                c.Run(QStringLiteral("INSERT INTO PRODUKTE (PID, PNAME) VALUES (%1, %2)")
                          .arg(p.id)
                          .arg(Lit(p.name)));
        for (const Notice &n : kNotices)
            c.Run(QStringLiteral("INSERT INTO FORMULADETAILS (FORMULADETAILSKEY, WARNINGTEXT, FORMULADETAILSTEXT) "
                                 "VALUES (%1, %2, %3)")
                      .arg(n.key)
                      .arg(Lit(n.warning), Lit(n.text)));
        if (size.GeneratedNames() && options.byProduct)
            FillMasterByProduct(c, size);
        else
            c.Run(MasterFillStatement(size, QStringLiteral("MASTER")));
        c.tr.Commit();
        c.db.SetConnected(false);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}
