#pragma once
// Engine errors in the upgrade's terms. The kind, table, column and index
// come from the error's own fields; its message is only carried as the
// technical detail, never read.

#include "failure_cause.h"
#include "jet/error.h"

namespace upgrade {

// The failure kind the user can act on, the table and column it concerns
// (for a repeated key, the columns of the unique index, "gn、nn"), and the
// engine's words as the detail.
ProductDatabaseFailure productFailureOf(const jet::Error& error);

}  // namespace upgrade
