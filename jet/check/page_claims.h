#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/file/page_file.h"

namespace jet {

// Which object each page of a file belongs to, as the ownership walk (and, for data and
// long-value pages, the structure check) finds them: a table's definition pages, its data pages,
// its long-value pages, the pages of one of its indexes, usage map pages. A page belongs to one object at most. Pages the usage maps of a table list are
// recorded too: a table may list only pages that no other table's object uses.
// Every refusal is Error(Damaged) naming the file, the table and the page.
class PageClaims {
public:
    explicit PageClaims(const PageFile& file);

    // An object that owns pages. `table` is empty for the file's own structures; objects of one
    // table share `tableKey` (a number the caller gives each table, from 1).
    std::uint32_t addOwner(std::uint32_t tableKey, const std::string& table, const std::string& object);

    // `page` belongs to `owner`. Claiming it again for the same owner is allowed; for another
    // owner it is damage.
    void claim(std::uint32_t page, std::uint32_t owner);
    // The owner of a page, or 0.
    std::uint32_t ownerOf(std::uint32_t page) const { return pageOwner_[page]; }
    const std::string& tableOf(std::uint32_t owner) const { return owners_[owner].table; }
    std::string describe(std::uint32_t owner) const;

    // Whether a usage map of any table lists `page`.
    bool isListed(std::uint32_t page) const { return firstListing_[page].tableKey != 0; }

    // A usage map of table `tableKey` (called `map`) lists `page`.
    void list(std::uint32_t page, std::uint32_t tableKey, const std::string& table, const std::string& map);
    // After every table: refuses a page listed by one table that an object of another table owns.
    void checkListings() const;

private:
    struct Owner {
        std::uint32_t tableKey = 0;
        std::string table;
        std::string object;
    };
    // Up to two tables whose maps list a page: the first one, and the first other one.
    struct Listing {
        std::uint32_t tableKey = 0;
        std::uint32_t map = 0;   // index into mapNames_
    };

    const PageFile& file_;
    std::vector<Owner> owners_;            // [0] is "nobody"
    std::vector<std::uint32_t> pageOwner_;
    std::vector<Listing> firstListing_, otherListing_;   // by page
    std::vector<std::pair<std::string, std::string>> mapNames_;   // table, map
};

}  // namespace jet
