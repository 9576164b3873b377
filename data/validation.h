// The engine's online validation of the tables, through its services: the
// database stays open for the others while it runs.
#pragma once

#include <QStringList>

class TIBDatabase;

// The validation's lines about damage in the tables and their indexes,
// empty when it found none; with the database's user and password (the
// program's own user may validate too).
QStringList TableDamage(const TIBDatabase &database);

// The service manager and the database file for it, from a connection's
// database name: "host:path" goes to the host's service manager, a local
// path to the engine in this process.
QString ServiceManagerOf(const QString &databaseName);
QString ServiceDatabaseOf(const QString &databaseName);
