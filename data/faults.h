// Errors that are none of the data's own: the database's storage, the
// connection or another workstation stopped the work, and the same work
// succeeds once that is mended.
#pragma once

#include "data/ib.h"

enum class Fault { None, NoSpace, Storage, Connection, Conflict };

Fault FaultOf(const EDatabaseError &error);

// The statement was stopped by TIBDatabase::CancelOperation.
bool IsCancelled(const EDatabaseError &error);

// The cause in a German sentence, empty for Fault::None.
QString FaultCause(Fault fault);
