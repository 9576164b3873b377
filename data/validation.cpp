#include "data/validation.h"

#include "data/ansi.h"
#include "data/database.h"
#include "data/fbclient.h"

#include <algorithm>
#include <optional>

namespace {

bool IsLocal(const QString &databaseName)
{
    return databaseName.startsWith(QLatin1Char('/')) || !databaseName.contains(QLatin1Char(':'));
}

// An item with a two-byte length, as a service request has them.
void AppendLong(std::string &block, char item, const QByteArray &value)
{
    const auto length = std::min<qsizetype>(value.size(), 65535);
    block += item;
    block += static_cast<char>(length & 0xFF);
    block += static_cast<char>(length >> 8);
    block.append(value.constData(), length);
}

class Service {
public:
    Service(FbClient &fb, const QString &manager, const QStringList &params) : fb_(fb)
    {
        const std::string spb = TIBDatabase::BuildServiceParamBlock(params);
        const QByteArray name = ToAnsi(manager);
        Status status;
        fb_.isc_service_attach(status, 0, name.constData(), &handle_, static_cast<unsigned short>(spb.size()),
                               spb.data());
        fb_.check(status);
    }
    ~Service()
    {
        Status status;
        fb_.isc_service_detach(status, &handle_);
    }
    Service(const Service &) = delete;
    Service &operator=(const Service &) = delete;

    void Start(const std::string &request)
    {
        Status status;
        fb_.isc_service_start(status, &handle_, nullptr, static_cast<unsigned short>(request.size()),
                              request.data());
        fb_.check(status);
    }
    // The service's next output line; none once it has finished.
    std::optional<QString> Line()
    {
        const char items[] = {isc_info_svc_line};
        char buffer[4096];
        Status status;
        fb_.isc_service_query(status, &handle_, nullptr, 0, nullptr, sizeof items, items, sizeof buffer, buffer);
        fb_.check(status);
        if (buffer[0] != isc_info_svc_line)
            return std::nullopt;
        const auto length = static_cast<int>(LittleEndian(buffer + 1, 2));
        if (length == 0)
            return std::nullopt;
        return FromAnsi(QByteArray(buffer + 3, std::min(length, int(sizeof buffer) - 3)));
    }

private:
    FbClient &fb_;
    isc_svc_handle handle_ = 0;
};

}  // namespace

QString ServiceManagerOf(const QString &databaseName)
{
    if (IsLocal(databaseName))
        return QStringLiteral("service_mgr");
    return databaseName.section(QLatin1Char(':'), 0, 0) + QStringLiteral(":service_mgr");
}

QString ServiceDatabaseOf(const QString &databaseName)
{
    return IsLocal(databaseName) ? databaseName : databaseName.section(QLatin1Char(':'), 1);
}

QStringList TableDamage(const TIBDatabase &database)
{
    Service service(database.Client(), ServiceManagerOf(database.DatabaseName), database.Params);
    std::string request(1, static_cast<char>(isc_action_svc_validate));
    AppendLong(request, isc_spb_dbname, ToAnsi(ServiceDatabaseOf(database.DatabaseName)));
    // A table another workstation writes to is left out at once rather
    // than waited for: its lock is no damage.
    request += {static_cast<char>(isc_spb_val_lock_timeout), 0, 0, 0, 0};
    service.Start(request);
    // "Relation 133 (FARBEN)", its "Error: Index 1 is corrupt ..." lines,
    // "Relation 133 (FARBEN) : 1 ERRORS found". A table left out for its
    // lock ("Acquire relation lock failed") counts an error too, but has
    // no error line.
    QStringList damage;
    bool damaged = false;
    while (const std::optional<QString> line = service.Line()) {
        const QString text = line->section(QLatin1Char(' '), 1).trimmed();
        if (text.startsWith(QLatin1String("Error"))) {
            damage << text;
            damaged = true;
        } else if (text.endsWith(QLatin1String("ERRORS found"))) {
            if (damaged)
                damage << text;
            damaged = false;
        }
    }
    return damage;
}
