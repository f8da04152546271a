#include "jet/format/rc4.h"

#include <array>
#include <utility>

namespace jet {

void applyRc4(std::span<const std::uint8_t> key, std::span<std::uint8_t> data) {
    std::array<std::uint8_t, 256> state;
    for (int i = 0; i < 256; ++i) state[i] = static_cast<std::uint8_t>(i);
    if (key.empty()) return;
    std::uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = static_cast<std::uint8_t>(j + state[i] + key[i % key.size()]);
        std::swap(state[i], state[j]);
    }
    std::uint8_t x = 0, y = 0;
    for (auto& byte : data) {
        x = static_cast<std::uint8_t>(x + 1);
        y = static_cast<std::uint8_t>(y + state[x]);
        std::swap(state[x], state[y]);
        byte ^= state[static_cast<std::uint8_t>(state[x] + state[y])];
    }
}

}  // namespace jet
