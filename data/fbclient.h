// The Firebird client library, loaded at run time: its function table, the
// status vector turned into message text, and the reading of information
// buffers. Used only inside the data layer.
#pragma once

#include <QString>

#include "data/errors.h"

#include <ibase.h>

#include <memory>

using Status = ISC_STATUS[ISC_STATUS_LENGTH];

bool Failed(const ISC_STATUS *status);

// An unsigned little-endian number of an information buffer, at most 4 bytes.
long long LittleEndian(const char *bytes, int length);

// The value of an information buffer that answers a single item.
long long SingleItem(const char *buffer, char item);

#define FB_FUNCTIONS(X)                                                                              \
    X(isc_attach_database) X(isc_detach_database) X(isc_database_info) X(isc_start_multiple)           \
    X(isc_commit_retaining) X(isc_commit_transaction) X(isc_rollback_transaction)                      \
    X(isc_dsql_alloc_statement2) X(isc_dsql_prepare) X(isc_dsql_describe) X(isc_dsql_describe_bind)   \
    X(isc_dsql_execute) X(isc_dsql_fetch) X(isc_dsql_free_statement) X(isc_dsql_sql_info)             \
    X(isc_dsql_execute_immediate) X(fb_interpret) X(isc_open_blob2) X(isc_get_segment)                 \
    X(isc_close_blob) X(isc_decode_sql_date) X(isc_decode_sql_time) X(isc_decode_timestamp)           \
    X(isc_service_attach) X(isc_service_detach) X(isc_service_start) X(isc_service_query)            \
    X(fb_cancel_operation)

class FbClient {
public:
#define FB_MEMBER(name) decltype(&::name) name = nullptr;
    FB_FUNCTIONS(FB_MEMBER)
#undef FB_MEMBER

    // The loaded library, shared while anyone holds it; fails with the
    // missing-library text.
    static std::shared_ptr<FbClient> Load();
    // The library file loaded from now on.
    static void SetLibrary(const QString &file);

    FbClient() = default;
    FbClient(const FbClient &) = delete;
    FbClient &operator=(const FbClient &) = delete;
    // The library stays loaded: the engine keeps threads of its own that
    // must not lose their code while the process runs.
    ~FbClient() = default;

    // Raises the status vector's message lines as a database error.
    void check(const ISC_STATUS *status) const;
    QString interpret(const ISC_STATUS *status) const;
    // The status vector as an error: its message lines, its codes.
    EDatabaseError error(const ISC_STATUS *status) const;

private:
    void *library_ = nullptr;
};
