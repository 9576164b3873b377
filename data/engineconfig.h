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

// The page cache, in pages, for a connection that writes much, such as the
// import's: above the configuration's FileSystemCacheThreshold, so that the
// engine writes its pages past the file cache. Each commit writes its pages
// synchronously, and through the file cache this kernel writes back the
// whole large cached page an 8 KB page falls in: eight times the bytes. 0
// when the database is not a local file that can be opened so.
int WritersCachePages(const QString &databaseName);

// After such a connection: asks the kernel to read the database file into
// the file cache again, where the searches' connections look for it.
void RefillFileCache(const QString &databaseName);
