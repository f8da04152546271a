#pragma once

#include <cstdint>
#include <span>

namespace jet {

// RC4 keystream applied in place (encrypting and decrypting are the same operation). Jet uses it
// to mask the header page and, in encrypted databases, every other page.
void applyRc4(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

}  // namespace jet
