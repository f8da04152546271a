#pragma once
// Product databases opened with the project's own Access (Jet 4) engine.
//
// Before the first change the patch commits to a product database file, a
// copy of the file as it was is kept beside it ("QorBirth.dll" →
// "QorBirth.dll.bak"). That copy is never overwritten by later upgrades, and
// a failed or refused upgrade leaves none behind (see backup_copy.h).
//
// Engine errors leave as ProductDatabaseFailure, sorted into the kinds the
// user is told about (a table, column or index named where one is involved),
// with the engine's message as the technical detail.

#include "backup_copy.h"
#include "product_database.h"

namespace upgrade {

class JetDatabaseOpener : public ProductDatabaseOpener {
public:
    std::unique_ptr<ProductDatabase> open(const std::filesystem::path& file) override;
};

}  // namespace upgrade
