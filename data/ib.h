// Connection and query layer over the Firebird client library (classic C API),
// loaded at run time. One connection, one transaction, many queries; rows are
// fetched on demand into a client row cache.
#pragma once

#include "data/database.h"
#include "data/errors.h"
#include "data/field.h"
#include "data/query.h"
#include "data/statementtext.h"
#include "data/transaction.h"
