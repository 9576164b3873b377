// The engine's online validation of the tables, through its services: the
// database stays open for the others while it runs.
#pragma once

#include <QStringList>

#include <optional>

class TIBDatabase;

// The validation's lines about damage in the tables and their indexes
// (empty: none found), as the database's user and password see it; none
// at all for a user who may not validate (only the owner and the
// administrator may). Other failures are errors.
std::optional<QStringList> TableDamage(const TIBDatabase &database);

// The service manager and the database file for it, from a connection's
// database name: "host:path" goes to the host's service manager, a local
// path to the engine in this process.
QString ServiceManagerOf(const QString &databaseName);
QString ServiceDatabaseOf(const QString &databaseName);
