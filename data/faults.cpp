#include "data/faults.h"

#include <ibase.h>

#include <algorithm>
#include <cerrno>

namespace {

// Whether the error carries one of the codes.
bool HasCode(const EDatabaseError &error, std::initializer_list<ISC_STATUS> wanted)
{
    const std::vector<long> &codes = error.Codes();
    return std::any_of(codes.begin(), codes.end(), [&wanted](long code) {
        return std::find(wanted.begin(), wanted.end(), code) != wanted.end();
    });
}

}  // namespace

Fault FaultOf(const EDatabaseError &error)
{
    const auto has = [&error](std::initializer_list<ISC_STATUS> wanted) { return HasCode(error, wanted); };
    if (error.SystemError() == ENOSPC || error.SystemError() == EDQUOT)
        return Fault::NoSpace;
    if (has({isc_network_error, isc_net_read_err, isc_net_write_err, isc_lost_db_connection, isc_conn_lost,
             isc_att_shutdown, isc_shutdown, isc_shutinprog, isc_bad_db_handle, isc_net_connect_err,
             isc_unavailable, isc_connect_reject}))
        return Fault::Connection;
    if (has({isc_io_error, isc_io_read_err, isc_io_write_err, isc_io_open_err, isc_io_create_err, isc_io_access_err,
             isc_db_corrupt, isc_bug_check, isc_sys_request, isc_bad_checksum, isc_lock_dir_access, isc_no_lock_mgr}))
        return Fault::Storage;
    if (has({isc_deadlock, isc_update_conflict, isc_lock_conflict, isc_lock_timeout}))
        return Fault::Conflict;
    return Fault::None;
}

bool IsCancelled(const EDatabaseError &error)
{
    return HasCode(error, {isc_cancelled});
}

QString FaultCause(Fault fault)
{
    switch (fault) {
    case Fault::NoSpace:
        return QStringLiteral("Auf dem Laufwerk der Datenbank ist kein Platz mehr frei.");
    case Fault::Storage:
        return QStringLiteral("Die Datenbankdatei konnte nicht gelesen oder geschrieben werden.");
    case Fault::Connection:
        return QStringLiteral("Die Verbindung zur Datenbank ist unterbrochen.");
    case Fault::Conflict:
        return QStringLiteral("Ein anderer Arbeitsplatz ändert gerade dieselben Daten.");
    case Fault::None:
        break;
    }
    return {};
}
