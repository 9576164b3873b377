// The parameter blocks of the connection and of the transaction, built
// from their parameter lines.
#include "data/database.h"
#include "data/transaction.h"

#include "data/ansi.h"
#include "data/errors.h"

#include <ibase.h>

#include <algorithm>

namespace {

// A parameter line's name, in lower case and without the "isc_dpb_" prefix.
QString ParamName(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    const QString name = (eq < 0 ? line : line.left(eq)).trimmed().toLower();
    return name.startsWith(QLatin1String("isc_dpb_")) ? name.mid(8) : name;
}

QByteArray ParamValue(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QByteArray() : ToAnsi(line.mid(eq + 1));
}

// An item with a one-byte length, as the connection's and the service
// manager's blocks have them.
void AppendItem(std::string &block, char item, const QByteArray &value)
{
    const auto length = std::min<qsizetype>(value.size(), 255);
    block += item;
    block += static_cast<char>(length);
    block.append(value.constData(), length);
}

}  // namespace

std::string TIBDatabase::BuildParamBlock(const QStringList &params)
{
    std::string block(1, static_cast<char>(isc_dpb_version1));
    for (const QString &line : params) {
        const QString name = ParamName(line);
        if (name.isEmpty())
            continue;
        char code;
        QByteArray value = ParamValue(line);
        if (name == QLatin1String("user_name"))
            code = isc_dpb_user_name;
        else if (name == QLatin1String("password"))
            code = isc_dpb_password;
        else if (name == QLatin1String("lc_ctype"))
            code = isc_dpb_lc_ctype;
        else if (name == QLatin1String("no_garbage_collect"))
            code = isc_dpb_no_garbage_collect;
        else if (name == QLatin1String("num_buffers")) {
            code = isc_dpb_num_buffers;
            // A number: four bytes, lowest first.
            const quint32 pages = value.toUInt();
            value = QByteArray(4, '\0');
            for (int i = 0; i < 4; ++i)
                value[i] = static_cast<char>((pages >> (8 * i)) & 0xff);
        } else
            throw Exception(QStringLiteral("Unbekannter Datenbankparameter '%1'").arg(name));
        AppendItem(block, code, value);
    }
    return block;
}

std::string TIBDatabase::BuildServiceParamBlock(const QStringList &params)
{
    std::string block{static_cast<char>(isc_spb_version), static_cast<char>(isc_spb_current_version)};
    for (const QString &line : params) {
        const QString name = ParamName(line);
        if (name == QLatin1String("user_name"))
            AppendItem(block, isc_spb_user_name, ParamValue(line));
        else if (name == QLatin1String("password"))
            AppendItem(block, isc_spb_password, ParamValue(line));
    }
    return block;
}

std::string TIBTransaction::BuildParamBlock(const QStringList &params)
{
    if (params.isEmpty())
        return {};
    std::string block(1, static_cast<char>(isc_tpb_version3));
    bool waitGiven = false;
    for (const QString &line : params) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = (eq < 0 ? line : line.left(eq)).trimmed().toLower();
        if (name == QLatin1String("read"))
            block += static_cast<char>(isc_tpb_read);
        else if (name == QLatin1String("write"))
            block += static_cast<char>(isc_tpb_write);
        else if (name == QLatin1String("concurrency"))
            block += static_cast<char>(isc_tpb_concurrency);
        else if (name == QLatin1String("read_committed"))
            block += {static_cast<char>(isc_tpb_read_committed), static_cast<char>(isc_tpb_rec_version)};
        else if (name == QLatin1String("wait") || name == QLatin1String("nowait")) {
            block += static_cast<char>(name == QLatin1String("wait") ? isc_tpb_wait : isc_tpb_nowait);
            waitGiven = true;
        } else if (name == QLatin1String("lock_timeout")) {
            const quint32 seconds = line.mid(eq + 1).trimmed().toUInt();
            if (!waitGiven)
                block += static_cast<char>(isc_tpb_wait);
            waitGiven = true;
            block += {static_cast<char>(isc_tpb_lock_timeout), 4};
            for (int i = 0; i < 4; ++i)
                block += static_cast<char>((seconds >> (8 * i)) & 0xFF);
        } else if (!name.isEmpty()) {
            throw Exception(QStringLiteral("Unbekannter Transaktionsparameter '%1'").arg(name));
        }
    }
    return block;
}

