// The tests and benchmarks open the same files as the program of this build
// tree, and start it: the program folder's engine configuration, set before
// anything loads the client library.
#include "data/engineconfig.h"

namespace {

const bool configured = (UseEngineConfiguration(QStringLiteral(TINTOREL_BUILD_PROGRAM_DIR)), true);

}  // namespace
