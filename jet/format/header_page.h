#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"

namespace jet {

// The fields of page 0 this engine uses, after unmasking.
struct HeaderInfo {
    std::uint16_t codePage = 0;
    std::uint32_t encryptionKey = 0;
    std::uint16_t sortOrder = 0;   // LCID of the default sort order (1033 General, 2052 Chinese PRC)
    std::uint8_t sortVersion = 0;
    double creationDate = 0;       // days since 1899-12-30
    bool hasPassword = false;
};

// Checks that `file` is a Jet 4 database this engine can read and returns its header fields.
// Each kind of unsuitable file raises its own ErrorKind (NotAccess, Jet3, Ace, BadFileSize,
// EncryptedPages, DatabasePassword) with a message naming the file.
HeaderInfo checkHeader(const PageFile& file);

// Builds page 0 of a new, empty, unencrypted Jet 4 database.
std::vector<std::uint8_t> buildHeaderPage(const HeaderInfo& info);

// The 128 bytes at 0x18 are masked with a fixed RC4 key; applying it twice restores them.
void toggleHeaderMask(std::uint8_t* page);

}  // namespace jet
