// The data module: the connection, the one transaction, the queries and the
// update objects with their statements.
#pragma once

#include "data/ib.h"

class Tfmdm {
public:
    // Fails with the layer's text when the client library cannot be loaded.
    Tfmdm();
    // Queries go first, then the transaction (its running work is committed),
    // then the connection.
    ~Tfmdm();
    Tfmdm(const Tfmdm &) = delete;
    Tfmdm &operator=(const Tfmdm &) = delete;

    // Stored default database name, in force only when dbconnect.txt exists
    // but yields no name.
    static const QString DefaultDatabaseName;

    TIBDatabase ib1;
    TIBTransaction ibTa1;

    TIBUpdateSQL qrFarben_U{QStringLiteral("qrFarben_U")};
    TIBUpdateSQL qrBasen_U{QStringLiteral("qrBasen_U")};
    TIBUpdateSQL qrRGBColors_U{QStringLiteral("qrRGBColors_U")};
    TIBUpdateSQL qrKollektionen_U{QStringLiteral("qrKollektionen_U")};
    TIBUpdateSQL qrKDaten_U{QStringLiteral("qrKDaten_U")};
    TIBUpdateSQL qrMaster_U{QStringLiteral("qrMaster_U")};

    TIBQuery qrProdukte_S;
    TIBQuery qrFarben_S;
    TIBQuery qrS;
    TIBQuery qrFORMULADETAILS;
    TIBQuery qrKollektionen;
    TIBQuery qrMaster;
    TIBQuery qrFarben;
    TIBQuery qrRGBColors;
    TIBQuery qrBasen;
    TIBQuery qrKDaten;
    TIBQuery qrProdukte;
    TIBQuery qrKollektionen_S;
    TIBQuery qrMaster_S;
    TIBQuery qrProdukte_Kollektionen;
    TIBQuery qrRGBColors_S;
    TIBQuery qrBasen_S;
    TIBQuery qrK1;
    TIBQuery qrK2;
};

// The four statements of an update object for a table: every column is
// written, the key columns find the row.
void SetUpdateStatements(TIBUpdateSQL &update, const QString &table, const QStringList &columns,
                         const QStringList &key);

// The single instance, created at start-up after the main window.
extern Tfmdm *fmdm;
