#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "jet/error.h"

namespace jet {

using Bytes = std::span<const std::uint8_t>;

// Bounds-checked little-endian reads. Every read outside the view throws Damage, so decoders
// can be written straight from the format description without risking out-of-bounds access.
class ByteView {
public:
    ByteView() = default;
    explicit ByteView(Bytes bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    Bytes bytes() const { return bytes_; }

    Bytes slice(std::size_t offset, std::size_t length, const char* what) const {
        require(offset, length, what);
        return bytes_.subspan(offset, length);
    }
    std::uint8_t u8(std::size_t offset, const char* what) const {
        require(offset, 1, what);
        return bytes_[offset];
    }
    std::uint16_t u16(std::size_t offset, const char* what) const {
        require(offset, 2, what);
        return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }
    std::uint32_t u24(std::size_t offset, const char* what) const {
        require(offset, 3, what);
        return bytes_[offset] | (bytes_[offset + 1] << 8) | (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16);
    }
    std::uint32_t u32(std::size_t offset, const char* what) const {
        require(offset, 4, what);
        return bytes_[offset] | (bytes_[offset + 1] << 8) | (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
    }
    std::uint64_t u64(std::size_t offset, const char* what) const {
        return u32(offset, what) | (static_cast<std::uint64_t>(u32(offset + 4, what)) << 32);
    }
    double f64(std::size_t offset, const char* what) const {
        std::uint64_t raw = u64(offset, what);
        double value;
        std::memcpy(&value, &raw, sizeof value);
        return value;
    }
    float f32(std::size_t offset, const char* what) const {
        std::uint32_t raw = u32(offset, what);
        float value;
        std::memcpy(&value, &raw, sizeof value);
        return value;
    }

private:
    void require(std::size_t offset, std::size_t length, const char* what) const {
        if (offset > bytes_.size() || length > bytes_.size() - offset)
            throw Damage(std::string(what) + " lies outside its " + std::to_string(bytes_.size()) + "-byte block (offset " +
                         std::to_string(offset) + ", length " + std::to_string(length) + ")");
    }

    Bytes bytes_;
};

// Little-endian writes into a growing buffer or a fixed area.
inline void putU16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void putU24(std::uint8_t* at, std::uint32_t value) {
    putU16(at, value);
    at[2] = static_cast<std::uint8_t>(value >> 16);
}
inline void putU32(std::uint8_t* at, std::uint32_t value) {
    putU16(at, value);
    putU16(at + 2, value >> 16);
}
inline void putU64(std::uint8_t* at, std::uint64_t value) {
    putU32(at, static_cast<std::uint32_t>(value));
    putU32(at + 4, static_cast<std::uint32_t>(value >> 32));
}
inline void putF64(std::uint8_t* at, double value) {
    std::uint64_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    putU64(at, raw);
}

}  // namespace jet
