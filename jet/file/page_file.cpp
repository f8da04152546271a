#include "jet/file/page_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "jet/file/atomic_replace.h"
#include "jet/file/native_path.h"

namespace jet {

PageFile PageFile::load(const std::string& path, std::size_t growthRoom) {
    std::ifstream in(nativePath(path), std::ios::binary | std::ios::ate);
    if (!in) throw Error(ErrorKind::Io, path, "", std::string("cannot open the file: ") + std::strerror(errno));
    const std::streamoff size = in.tellg();
    if (size < 0) throw Error(ErrorKind::Io, path, "", "cannot determine the file size");
    // Refused before any memory is taken for it: a larger file is no Jet 4 database, and reading
    // it whole could exhaust the memory.
    if (static_cast<std::uint64_t>(size) > kMaxFileSize)
        throw Error(ErrorKind::Damaged, path, "",
                    "the file is " + std::to_string(size) + " bytes, more than the " + std::to_string(kMaxFileSize) +
                        " bytes a Jet 4 database can hold; it was not read");
    std::vector<std::uint8_t> image;
    image.reserve(static_cast<std::size_t>(size) + growthRoom);
    image.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(image.data()), size)) throw Error(ErrorKind::Io, path, "", "cannot read the file");
    return fromImage(path, std::move(image));
}

PageFile PageFile::fromImage(std::string path, std::vector<std::uint8_t> image) {
    PageFile file;
    file.path_ = std::move(path);
    file.image_ = std::move(image);
    return file;
}

ByteView PageFile::page(std::uint32_t number) const {
    if (number >= pageCount())
        throw Damage("page " + std::to_string(number) + " is past the end of the file (" + std::to_string(pageCount()) +
                     " pages)");
    return ByteView(Bytes(image_.data() + std::size_t(number) * kPageSize, kPageSize));
}

std::uint8_t* PageFile::mutablePage(std::uint32_t number) {
    if (number >= pageCount())
        throw Damage("page " + std::to_string(number) + " is past the end of the file (" + std::to_string(pageCount()) +
                     " pages)");
    if (journaling_) journalPage(number);
    return image_.data() + std::size_t(number) * kPageSize;
}

std::uint32_t PageFile::appendPage() {
    image_.resize(image_.size() + kPageSize);   // zero-filled
    return pageCount() - 1;
}

void PageFile::truncatePages(std::uint32_t count) {
    if (count < pageCount()) image_.resize(std::size_t(count) * kPageSize);
}

void PageFile::beginJournal() {
    journaling_ = true;
    journalPageCount_ = pageCount();
    journalPages_.clear();
    journalBytes_.clear();
    if (++journalGeneration_ == 0) {   // wrapped: old marks could match again
        std::fill(journalMark_.begin(), journalMark_.end(), 0);
        journalGeneration_ = 1;
    }
    if (journalMark_.size() < journalPageCount_) journalMark_.resize(journalPageCount_, 0);
}

// Pages appended during the journal need no copy: restoring drops them.
void PageFile::journalPage(std::uint32_t number) {
    if (number >= journalPageCount_ || journalMark_[number] == journalGeneration_) return;
    const std::uint8_t* bytes = image_.data() + std::size_t(number) * kPageSize;
    journalBytes_.insert(journalBytes_.end(), bytes, bytes + kPageSize);
    journalPages_.push_back(number);
    journalMark_[number] = journalGeneration_;
}

void PageFile::restoreJournal() {
    // Shrinking never reallocates, and the image is at least as long as when the journal began.
    image_.resize(std::size_t(journalPageCount_) * kPageSize);
    for (std::size_t i = 0; i < journalPages_.size(); ++i)
        std::memcpy(image_.data() + std::size_t(journalPages_[i]) * kPageSize, journalBytes_.data() + i * kPageSize, kPageSize);
    journaling_ = false;
}

void PageFile::saveAs(const std::string& target) const { replaceFileAtomically(target, image_); }

}  // namespace jet
