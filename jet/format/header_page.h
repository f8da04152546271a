#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"

namespace jet {

// Page 0 of a Jet 4 database. Bytes 0x18..0x97 are masked with a fixed RC4 key; the offsets in
// that range below are of the unmasked bytes.
//
//   0x00  u32   signature 00 01 00 00
//   0x04  text  engine name "Standard Jet DB\0" (ACE files: "Standard ACE DB\0")
//   0x14  u8    version: 0 Jet 3, 1 Jet 4, 2 and above ACE
//   0x18  128   masked area, starting with a fixed prefix
//   0x3C  u16   code page
//   0x3E  u32   page encryption key (0 = not encrypted)
//   0x42  40    database password, XOR-ed with the integer part of the creation date
//   0x6A  u16   a constant Access writes
//   0x6E  u16   sort order (LCID); 0x71: u8 its version
//   0x72  f64   creation date, days since 1899-12-30
//   0x98  u32   format marker; 0x9C: engine version text "4.0"
//   0xE00 ...   per-user area
struct HeaderPageLayout {
    static constexpr std::size_t kSignature = 0x00;
    static constexpr std::size_t kEngineName = 0x04;
    static constexpr std::size_t kVersion = 0x14;
    static constexpr std::size_t kMasked = 0x18;
    static constexpr std::size_t kMaskedLength = 128;
    static constexpr std::size_t kCodePage = 0x3C;
    static constexpr std::size_t kEncryptionKey = 0x3E;
    static constexpr std::size_t kPassword = 0x42;
    static constexpr std::size_t kPasswordLength = 40;
    static constexpr std::size_t kConstant6A = 0x6A;
    static constexpr std::size_t kSortOrder = 0x6E;
    static constexpr std::size_t kSortVersion = 0x71;
    static constexpr std::size_t kCreationDate = 0x72;
    static constexpr std::size_t kFormatMarker = 0x98;
    static constexpr std::size_t kVersionText = 0x9C;
    static constexpr std::size_t kUserArea = 0xE00;
};

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

// The fields of a Jet 4 header page (4096 bytes, still masked). Throws Damage when it is shorter.
HeaderInfo decodeHeaderPage(Bytes page);

// Page 0 of a new, empty, unencrypted Jet 4 database.
std::vector<std::uint8_t> encodeHeaderPage(const HeaderInfo& info);

// Masks or unmasks the 128 bytes at 0x18; applying it twice restores them.
void toggleHeaderMask(std::uint8_t* page);

}  // namespace jet
