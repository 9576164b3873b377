// The embedded engine's configuration. By default the engine opens a local
// database file for one process only and keeps its lock files in
// /tmp/firebird, owned by whoever came first. The program folder carries a
// Firebird root of its own instead ("firebird": a firebird.conf whose server
// mode lets several processes share one file, and the lock folder "lock",
// writable for the group). Every process that opens the same file must use
// the same configuration: the program, the demo generator, the tests and the
// benchmarks call this before the client library is loaded (it reads its
// configuration once).
#pragma once

#include <QString>

// The Firebird root inside a program folder.
QString EngineRoot(const QString &programFolder);

// Points the client library at the program folder's engine root and its lock
// folder. Leaves everything as it is when FIREBIRD is set already (a
// configuration of the caller's own) or the program folder has no root.
void UseEngineConfiguration(const QString &programFolder);

// A German sentence that says what keeps this user from opening the local
// database file, or an empty text when nothing on the file system does.
QString LocalAccessHint(const QString &databaseName);
