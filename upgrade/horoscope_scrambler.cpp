#include "horoscope_scrambler.h"

namespace upgrade {

std::string hexEncoding(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

std::string keyedScramble(std::string_view bytes, std::uint16_t key, int repetitions) {
    if (bytes.empty()) return {};
    const auto high = static_cast<std::uint8_t>(key >> 8);
    const auto low = static_cast<std::uint8_t>(key & 0xFF);
    std::string s(bytes);
    auto at = [&s](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::size_t n = s.size();
    for (int round = 0; round < repetitions; ++round) {
        // Ascending, so the right neighbour still holds its value from before the pass.
        for (std::size_t i = 0; i + 1 < n; ++i) s[i] = static_cast<char>(static_cast<std::uint8_t>((at(i) ^ low) - at(i + 1)));
        // Descending, so the left neighbour holds its value from the forward pass.
        for (std::size_t j = n - 1; j >= 1; --j) s[j] = static_cast<char>(static_cast<std::uint8_t>((at(j) ^ high) - at(j - 1)));
    }
    return hexEncoding(s);
}

std::string horoscopeScramble(std::string_view gbkText) {
    return keyedScramble(gbkText, kHoroscopeKey, kHoroscopeRepetitions);
}

}  // namespace upgrade
