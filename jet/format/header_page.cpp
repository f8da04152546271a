#include "jet/format/header_page.h"

#include <array>
#include <cstring>
#include <string>

#include "jet/format/rc4.h"

namespace jet {

namespace {

using L = HeaderPageLayout;

constexpr std::array<std::uint8_t, 4> kHeaderMaskKey{0xC7, 0xDA, 0x39, 0x6B};
constexpr std::array<std::uint8_t, 4> kSignature{0x00, 0x01, 0x00, 0x00};
constexpr std::uint8_t kJet4Version = 0x01;
const char kJetEngineName[] = "Standard Jet DB";
const char kAceEngineName[] = "Standard ACE DB";

// Constant fields as Access writes them in every Jet 4 file.
constexpr std::uint8_t kMaskedPrefix[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                          0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
constexpr std::uint16_t kConstant6AValue = 0x261C;
constexpr std::uint32_t kFormatMarkerValue = 0x0654;
const char kVersionTextValue[] = "4.0";

// The integer part of the creation date, which masks the stored password.
std::uint32_t passwordMask(double creationDate) {
    const bool representable = creationDate > -2147483648.0 && creationDate < 2147483647.0;   // false for NaN too
    return static_cast<std::uint32_t>(representable ? static_cast<std::int32_t>(creationDate) : 0);
}
std::uint8_t passwordMaskByte(std::uint32_t mask, std::size_t i) { return static_cast<std::uint8_t>(mask >> (8 * (i % 4))); }

}  // namespace

void toggleHeaderMask(std::uint8_t* page) {
    applyRc4(kHeaderMaskKey, std::span<std::uint8_t>(page + L::kMasked, L::kMaskedLength));
}

HeaderInfo decodeHeaderPage(Bytes masked) {
    if (masked.size() < kPageSize) throw Damage("header page of " + std::to_string(masked.size()) + " bytes is too short");
    std::array<std::uint8_t, kPageSize> page;
    std::memcpy(page.data(), masked.data(), kPageSize);
    toggleHeaderMask(page.data());
    const ByteView view(Bytes(page.data(), page.size()));

    HeaderInfo info;
    info.codePage = view.u16(L::kCodePage, "code page");
    info.encryptionKey = view.u32(L::kEncryptionKey, "encryption key");
    info.sortOrder = view.u16(L::kSortOrder, "sort order");
    info.sortVersion = view.u8(L::kSortVersion, "sort version");
    info.creationDate = view.f64(L::kCreationDate, "creation date");
    // An empty password is stored as the date mask itself.
    const std::uint32_t mask = passwordMask(info.creationDate);
    for (std::size_t i = 0; i < L::kPasswordLength; ++i)
        if ((page[L::kPassword + i] ^ passwordMaskByte(mask, i)) != 0) info.hasPassword = true;
    return info;
}

std::vector<std::uint8_t> encodeHeaderPage(const HeaderInfo& info) {
    std::vector<std::uint8_t> page(kPageSize, 0);
    std::memcpy(&page[L::kSignature], kSignature.data(), kSignature.size());
    std::memcpy(&page[L::kEngineName], kJetEngineName, sizeof kJetEngineName);
    page[L::kVersion] = kJet4Version;
    // Fields inside the masked area, written in clear and masked at the end.
    std::memcpy(&page[L::kMasked], kMaskedPrefix, sizeof kMaskedPrefix);
    putU16(&page[L::kCodePage], info.codePage);
    putU32(&page[L::kEncryptionKey], 0);
    const std::uint32_t mask = passwordMask(info.creationDate);
    for (std::size_t i = 0; i < L::kPasswordLength; ++i) page[L::kPassword + i] = passwordMaskByte(mask, i);
    putU16(&page[L::kConstant6A], kConstant6AValue);
    putU16(&page[L::kSortOrder], info.sortOrder);
    page[L::kSortVersion] = info.sortVersion;
    putF64(&page[L::kCreationDate], info.creationDate);
    toggleHeaderMask(page.data());
    // Outside the masked area: the format marker, the engine version text and the per-user area.
    putU32(&page[L::kFormatMarker], kFormatMarkerValue);
    std::memcpy(&page[L::kVersionText], kVersionTextValue, sizeof kVersionTextValue);
    for (std::size_t offset = L::kUserArea; offset < kPageSize; offset += 2) putU16(&page[offset], offset == L::kUserArea ? 0x0101 : 0x0100);
    return page;
}

HeaderInfo checkHeader(const PageFile& file) {
    const auto& image = file.image();
    const std::string& path = file.path();
    if (image.size() < L::kMasked + L::kMaskedLength || std::memcmp(image.data() + L::kSignature, kSignature.data(), kSignature.size()) != 0)
        throw Error(ErrorKind::NotAccess, path, "", "not an Access database (no Jet file signature)");
    const bool jetName = std::memcmp(image.data() + L::kEngineName, kJetEngineName, sizeof kJetEngineName) == 0;
    const bool aceName = std::memcmp(image.data() + L::kEngineName, kAceEngineName, sizeof kAceEngineName) == 0;
    if (!jetName && !aceName) throw Error(ErrorKind::NotAccess, path, "", "not an Access database (unknown engine name)");
    const std::uint8_t version = image[L::kVersion];
    if (aceName || version > kJet4Version)
        throw Error(ErrorKind::Ace, path, "",
                    "Access 2007 or later (ACE) database; only Access 2000-2003 (Jet 4) files are supported");
    if (version < kJet4Version)
        throw Error(ErrorKind::Jet3, path, "", "Access 97 (Jet 3) database; only Access 2000-2003 (Jet 4) files are supported");
    if (image.size() % kPageSize != 0)
        throw Error(ErrorKind::BadFileSize, path, "",
                    "file size " + std::to_string(image.size()) + " is not a whole number of 4096-byte pages (truncated or damaged file)");
    if (image.size() < 3 * kPageSize)
        throw Error(ErrorKind::BadFileSize, path, "",
                    "file of " + std::to_string(image.size()) + " bytes is too small to hold a database (truncated file)");

    const HeaderInfo info = decodeHeaderPage(Bytes(image.data(), kPageSize));
    if (info.encryptionKey != 0)
        throw Error(ErrorKind::EncryptedPages, path, "", "the database is encrypted; decrypt it in Access first");
    if (info.hasPassword)
        throw Error(ErrorKind::DatabasePassword, path, "", "the database has a password; remove it in Access first");
    return info;
}

}  // namespace jet
