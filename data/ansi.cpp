#include "data/ansi.h"

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined codes, which map
// to the C1 control of the same value as Windows does.
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeOne(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

QByteArray ToAnsi(const QString &text)
{
    // Written in place: the log converts every entry.
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    const auto *src = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    qsizetype written = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = src[i];
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(src[i + 1]))
            ++i;  // one character outside the BMP: one "?"
        dst[written++] = encodeOne(c);
    }
    out.truncate(written);
    return out;
}

QString FromAnsi(const char *data, int length)
{
    QString out(length, Qt::Uninitialized);
    QChar *dst = out.data();
    for (int i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

QString FromAnsi(const QByteArray &bytes)
{
    return FromAnsi(bytes.constData(), static_cast<int>(bytes.size()));
}

QString AnsiUpperCase(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 'a' && u <= 'z')
            c = QChar(u - 32);
        else if ((u >= 0xE0 && u <= 0xFE && u != 0xF7))
            c = QChar(u - 32);  // à..þ to À..Þ, the division sign excepted
        else if (u == 0x0161)
            c = QChar(0x0160);  // š
        else if (u == 0x0153)
            c = QChar(0x0152);  // œ
        else if (u == 0x017E)
            c = QChar(0x017D);  // ž
        else if (u == 0x00FF)
            c = QChar(0x0178);  // ÿ
    }
    return out;
}
