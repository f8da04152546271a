#include "jet/check/structure_check.h"

#include <string>

#include "jet/read/catalogue.h"
#include "jet/error.h"
#include "jet/format/usage_map.h"
#include "jet/format/usage_map.h"
#include "jet/check/page_claims.h"
#include "jet/check/page_ownership.h"
#include "jet/check/table_structure.h"

namespace jet {

namespace {

void checkSize(const PageFile& file) {
    const std::uint64_t size = file.sizeInBytes();
    if (size % kPageSize != 0)
        throw Error(ErrorKind::BadFileSize, file.path(), "",
                    "file size " + std::to_string(size) + " is not a whole number of 4096-byte pages (truncated or damaged file)");
    if (size > kJetFileSizeLimit)
        throw Error(ErrorKind::Damaged, file.path(), "", "file size " + std::to_string(size) + " is past Jet 4's limit of 2 GB");
    if (file.pageCount() < 3) throw Error(ErrorKind::Damaged, file.path(), "", "the file holds " + std::to_string(file.pageCount()) + " pages, too few for a database");
}

// A page in use must not be marked free: a writer would hand it out again.
void checkGlobalMap(const PageFile& file, const PageClaims& claims) {
    MapContent free;
    try {
        free = readMapContent(file, kGlobalUsageMap);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file.path(), "", std::string("the global page map is unreadable: ") + damage.what());
    }
    for (std::uint32_t page : free.pages)
        if (claims.ownerOf(page) != 0)
            throw Error(ErrorKind::Damaged, file.path(), claims.tableOf(claims.ownerOf(page)),
                        "page " + std::to_string(page) + " belongs to " + claims.describe(claims.ownerOf(page)) +
                            ", yet the global page map marks it free");
}

}  // namespace

void checkStructure(const PageFile& file) {
    checkSize(file);
    PageOwnership ownership(file);
    std::vector<CatalogueEntry> catalogue;
    try {
        catalogue = readCatalogue(file);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file.path(), "MSysObjects", std::string("the system catalogue is unreadable: ") + damage.what());
    }
    ownership.walk(catalogue, [&](const WalkedTable& table) { checkTableContent(file, table, ownership.claims()); });
    ownership.claims().checkListings();
    checkGlobalMap(file, ownership.claims());
}

}  // namespace jet
