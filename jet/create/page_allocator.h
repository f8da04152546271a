#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"

namespace jet {

// The pages of a database being built: handed out in order, filled in any order.
class PageAllocator {
public:
    std::uint32_t allocate() {
        pages_.emplace_back(kPageSize, 0);
        return static_cast<std::uint32_t>(pages_.size() - 1);
    }
    void set(std::uint32_t page, std::vector<std::uint8_t> bytes) { pages_.at(page) = std::move(bytes); }
    std::vector<std::uint8_t>& at(std::uint32_t page) { return pages_.at(page); }
    std::uint32_t count() const { return static_cast<std::uint32_t>(pages_.size()); }

    std::vector<std::uint8_t> image() const {
        std::vector<std::uint8_t> out;
        out.reserve(pages_.size() * kPageSize);
        for (const auto& page : pages_) out.insert(out.end(), page.begin(), page.end());
        return out;
    }

private:
    std::vector<std::vector<std::uint8_t>> pages_;
};

}  // namespace jet
