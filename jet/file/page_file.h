#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/file/byte_view.h"

namespace jet {

inline constexpr std::size_t kPageSize = 4096;
// Jet 4 databases hold at most 2 GiB.
inline constexpr std::uint64_t kMaxFileSize = std::uint64_t(1) << 31;

// Page types (byte 0 of every page).
enum class PageType : std::uint8_t {
    Header = 0x00,
    Data = 0x01,
    TableDefinition = 0x02,
    IndexNode = 0x03,
    IndexLeaf = 0x04,
    UsageBitmap = 0x05,
};

// The database file as an in-memory image of 4096-byte pages. Reads are served from the image;
// pages can be changed and appended in memory and the image written out as a whole, which is
// what an atomic write-to-copy-then-rename needs.
class PageFile {
public:
    // Reads the whole file. Throws Error(Io) when it cannot be read, and Error(Damaged) without
    // reading it when it is larger than kMaxFileSize. Other size checks belong to the header
    // checks, which know what kind of file this is. `growthRoom` bytes of capacity are
    // kept beyond the file, so that a writer appending pages does not move the image each time
    // it outgrows it (untouched capacity costs address space, not memory).
    static PageFile load(const std::string& path, std::size_t growthRoom = 0);
    static PageFile fromImage(std::string path, std::vector<std::uint8_t> image);

    const std::string& path() const { return path_; }
    std::size_t sizeInBytes() const { return image_.size(); }
    std::uint32_t pageCount() const { return static_cast<std::uint32_t>(image_.size() / kPageSize); }
    const std::vector<std::uint8_t>& image() const { return image_; }
    std::vector<std::uint8_t> releaseImage() { return std::move(image_); }

    // Throws Damage when the page lies past the end of the file.
    ByteView page(std::uint32_t number) const;
    std::uint8_t* mutablePage(std::uint32_t number);
    std::uint32_t appendPage();
    // Drops pages from the end of the image (never below `pageCount`).
    void truncatePages(std::uint32_t pageCount);

    // A journal of one change: from beginJournal() on, each page handed out by mutablePage() is
    // copied the first time, and restoreJournal() puts those pages and the page count back.
    // endJournal() keeps the changes. Appending during a journal is fine; truncating is not.
    void beginJournal();
    void restoreJournal();
    void endJournal() { journaling_ = false; }

    // Writes the image to `target` through replaceFileAtomically: a temporary file in the same
    // folder, flushed to the disk and renamed over the target, so the target is either the old
    // file or the complete new one, also after a crash.
    void saveAs(const std::string& target) const;

private:
    void journalPage(std::uint32_t number);

    std::string path_;
    std::vector<std::uint8_t> image_;
    bool journaling_ = false;
    std::uint32_t journalPageCount_ = 0;
    std::uint32_t journalGeneration_ = 0;
    std::vector<std::uint32_t> journalMark_;      // per page: the generation it was copied in
    std::vector<std::uint32_t> journalPages_;     // pages copied, in order
    std::vector<std::uint8_t> journalBytes_;      // their bytes before the change
};

}  // namespace jet
