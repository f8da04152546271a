#include "jet/format/header_page.h"

#include <array>
#include <cstring>
#include <string>

#include "jet/format/rc4.h"

namespace jet {

namespace {

constexpr std::size_t kMaskedOffset = 0x18;
constexpr std::size_t kMaskedLength = 128;
constexpr std::size_t kVersionOffset = 0x14;
constexpr std::size_t kCodePageOffset = 0x3C;
constexpr std::size_t kEncryptionKeyOffset = 0x3E;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kPasswordLength = 40;
constexpr std::size_t kSortOrderOffset = 0x6E;
constexpr std::size_t kCreationDateOffset = 0x72;
constexpr std::array<std::uint8_t, 4> kHeaderMaskKey{0xC7, 0xDA, 0x39, 0x6B};

const char kJetEngineName[] = "Standard Jet DB";
const char kAceEngineName[] = "Standard ACE DB";

// The integer part of the creation date, which masks the stored password.
std::uint32_t passwordMask(double creationDate) {
    const bool representable = creationDate > -2147483648.0 && creationDate < 2147483647.0;   // false for NaN too
    return static_cast<std::uint32_t>(representable ? static_cast<std::int32_t>(creationDate) : 0);
}

}  // namespace

void toggleHeaderMask(std::uint8_t* page) {
    applyRc4(kHeaderMaskKey, std::span<std::uint8_t>(page + kMaskedOffset, kMaskedLength));
}

HeaderInfo checkHeader(const PageFile& file) {
    const auto& image = file.image();
    const std::string& path = file.path();
    if (image.size() < kMaskedOffset + kMaskedLength || image[0] != 0x00 || image[1] != 0x01 || image[2] != 0x00 ||
        image[3] != 0x00)
        throw Error(ErrorKind::NotAccess, path, "", "not an Access database (no Jet file signature)");
    const bool jetName = std::memcmp(image.data() + 4, kJetEngineName, sizeof kJetEngineName) == 0;
    const bool aceName = std::memcmp(image.data() + 4, kAceEngineName, sizeof kAceEngineName) == 0;
    if (!jetName && !aceName) throw Error(ErrorKind::NotAccess, path, "", "not an Access database (unknown engine name)");
    const std::uint8_t version = image[kVersionOffset];
    if (aceName || version >= 2)
        throw Error(ErrorKind::Ace, path, "",
                    "Access 2007 or later (ACE) database; only Access 2000-2003 (Jet 4) files are supported");
    if (version == 0)
        throw Error(ErrorKind::Jet3, path, "", "Access 97 (Jet 3) database; only Access 2000-2003 (Jet 4) files are supported");
    if (image.size() % kPageSize != 0)
        throw Error(ErrorKind::BadFileSize, path, "",
                    "file size " + std::to_string(image.size()) + " is not a whole number of 4096-byte pages (truncated or damaged file)");
    if (image.size() < 3 * kPageSize)
        throw Error(ErrorKind::BadFileSize, path, "",
                    "file of " + std::to_string(image.size()) + " bytes is too small to hold a database (truncated file)");

    std::array<std::uint8_t, kPageSize> page;
    std::memcpy(page.data(), image.data(), kPageSize);
    toggleHeaderMask(page.data());
    ByteView view(Bytes(page.data(), page.size()));

    HeaderInfo info;
    info.codePage = view.u16(kCodePageOffset, "code page");
    info.encryptionKey = view.u32(kEncryptionKeyOffset, "encryption key");
    info.sortOrder = view.u16(kSortOrderOffset, "sort order");
    info.sortVersion = view.u8(kSortOrderOffset + 3, "sort version");
    info.creationDate = view.f64(kCreationDateOffset, "creation date");

    // The password is additionally XOR-ed with the integer part of the creation date.
    const std::uint32_t mask = passwordMask(info.creationDate);
    for (std::size_t i = 0; i < kPasswordLength; ++i) {
        const std::uint8_t maskByte = static_cast<std::uint8_t>(mask >> (8 * (i % 4)));
        if ((page[kPasswordOffset + i] ^ maskByte) != 0) info.hasPassword = true;
    }

    if (info.encryptionKey != 0)
        throw Error(ErrorKind::EncryptedPages, path, "", "the database is encrypted; decrypt it in Access first");
    if (info.hasPassword)
        throw Error(ErrorKind::DatabasePassword, path, "", "the database has a password; remove it in Access first");
    return info;
}

std::vector<std::uint8_t> buildHeaderPage(const HeaderInfo& info) {
    std::vector<std::uint8_t> page(kPageSize, 0);
    page[1] = 0x01;
    std::memcpy(page.data() + 4, kJetEngineName, sizeof kJetEngineName);
    page[kVersionOffset] = 0x01;
    // Fields inside the masked area, written in clear and masked at the end.
    putU16(&page[kCodePageOffset], info.codePage);
    putU32(&page[kEncryptionKeyOffset], 0);
    // The stored password area holds the date mask itself, i.e. an empty password.
    const std::uint32_t mask = passwordMask(info.creationDate);
    for (std::size_t i = 0; i < kPasswordLength; ++i) page[kPasswordOffset + i] = static_cast<std::uint8_t>(mask >> (8 * (i % 4)));
    // Constant fields as Access writes them in every Jet 4 file.
    const std::uint8_t fixedPrefix[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                        0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    std::memcpy(&page[kMaskedOffset], fixedPrefix, sizeof fixedPrefix);
    putU16(&page[0x6A], 0x261C);
    putU16(&page[kSortOrderOffset], info.sortOrder);
    page[kSortOrderOffset + 3] = info.sortVersion;
    putF64(&page[kCreationDateOffset], info.creationDate);
    toggleHeaderMask(page.data());
    // Outside the masked area: a format marker, the engine version text and the per-user area.
    putU32(&page[0x98], 0x0654);
    std::memcpy(&page[0x9C], "4.0", 4);
    for (std::size_t offset = 0xE00; offset < kPageSize; offset += 2) putU16(&page[offset], offset == 0xE00 ? 0x0101 : 0x0100);
    return page;
}

}  // namespace jet
