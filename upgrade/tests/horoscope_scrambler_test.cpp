#include "data/fortunes/fortune_texts.h"
#include "upgrade/horoscope_scrambler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using upgrade::hexEncoding;
using upgrade::keyedScramble;

namespace {

std::string fromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

// The inverse transform: undo the backward pass from the left (the first
// byte is untouched by it), then the forward pass from the right (the last
// byte is untouched by it).
std::string keyedUnscramble(std::string_view hex, std::uint16_t key, int repetitions) {
    std::string s = fromHex(hex);
    const auto high = static_cast<std::uint8_t>(key >> 8);
    const auto low = static_cast<std::uint8_t>(key & 0xFF);
    auto at = [&s](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::size_t n = s.size();
    for (int round = 0; round < repetitions && n > 0; ++round) {
        for (std::size_t j = 1; j < n; ++j) s[j] = static_cast<char>(static_cast<std::uint8_t>(at(j) + at(j - 1)) ^ high);
        for (std::size_t i = n - 1; i-- > 0;) s[i] = static_cast<char>(static_cast<std::uint8_t>(at(i) + at(i + 1)) ^ low);
    }
    return s;
}

}  // namespace

TEST(HoroscopeScrambler, HexIsUppercaseZeroPaddedHighNibbleFirst) {
    EXPECT_EQ(hexEncoding(std::string("\x0A\xFF\x00\x5c", 4)), "0AFF005C");
    EXPECT_EQ(hexEncoding(""), "");
}

TEST(HoroscopeScrambler, VectorsWorkedOutByHand) {
    // Key 8642 = 0x21C2: H = 0x21, L = 0xC2.
    // One byte: neither pass touches it.
    EXPECT_EQ(keyedScramble("\x41", 8642, 7), "41");
    // Two bytes 00 00, one round: forward s1 = (00 ^ C2) - 00 = C2;
    // backward s2 = (00 ^ 21) - C2 = 21 - C2 = 5F (mod 256).
    EXPECT_EQ(keyedScramble(std::string(2, '\0'), 8642, 1), "C25F");
    // Three bytes 01 02 03, one round:
    //   forward  s1 = (01 ^ C2) - 02 = C3 - 02 = C1
    //            s2 = (02 ^ C2) - 03 = C0 - 03 = BD   (s3 as before: 03)
    //   backward s3 = (03 ^ 21) - s2 = 22 - BD = 65
    //            s2 = (BD ^ 21) - s1 = 9C - C1 = DB   (s1 stays C1)
    EXPECT_EQ(keyedScramble("\x01\x02\x03", 8642, 1), "C1DB65");
    // No rounds: just the encoding. Empty text: empty result.
    EXPECT_EQ(keyedScramble("\x01\x02\x03", 8642, 0), "010203");
    EXPECT_EQ(keyedScramble("\x01\x02\x03", 8642, -3), "010203");
    EXPECT_EQ(keyedScramble("", 8642, 7), "");
    EXPECT_EQ(upgrade::horoscopeScramble(""), "");
}

TEST(HoroscopeScrambler, EachPlausibleSlipChangesTheResult) {
    const std::string text = "\xB0\xD7\xD1\xF2\xD7\xF9\r\n";  // 白羊座 in GBK
    const std::string right = keyedScramble(text, 8642, 7);
    // Swapping the key's bytes.
    EXPECT_NE(keyedScramble(text, 0xC221, 7), right);
    // Reading already rewritten neighbours, or running the passes in the other order.
    auto variant = [&](bool rewrittenNeighbours, bool backwardFirst) {
        std::string s = text;
        auto u = [&s](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
        const std::size_t n = s.size();
        for (int r = 0; r < 7; ++r) {
            auto forward = [&] {
                if (rewrittenNeighbours)
                    for (std::size_t i = n - 1; i-- > 0;) s[i] = static_cast<char>(static_cast<std::uint8_t>((u(i) ^ 0xC2) - u(i + 1)));
                else
                    for (std::size_t i = 0; i + 1 < n; ++i) s[i] = static_cast<char>(static_cast<std::uint8_t>((u(i) ^ 0xC2) - u(i + 1)));
            };
            auto backward = [&] {
                if (rewrittenNeighbours)
                    for (std::size_t j = 1; j < n; ++j) s[j] = static_cast<char>(static_cast<std::uint8_t>((u(j) ^ 0x21) - u(j - 1)));
                else
                    for (std::size_t j = n - 1; j >= 1; --j) s[j] = static_cast<char>(static_cast<std::uint8_t>((u(j) ^ 0x21) - u(j - 1)));
            };
            if (backwardFirst) { backward(); forward(); } else { forward(); backward(); }
        }
        return hexEncoding(s);
    };
    EXPECT_EQ(variant(false, false), right) << "the reference variant is the transform itself";
    EXPECT_NE(variant(true, false), right);
    EXPECT_NE(variant(false, true), right);
}

TEST(HoroscopeScrambler, RoundTripsRandomBytesAndKeepsTheCallersText) {
    std::mt19937 random(20240210);
    for (int trial = 0; trial < 200; ++trial) {
        std::string bytes(random() % 600, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        const std::string copy = bytes;
        const auto key = static_cast<std::uint16_t>(random());
        const std::string hex = keyedScramble(bytes, key, 7);
        EXPECT_EQ(bytes, copy);
        ASSERT_EQ(hex.size(), 2 * bytes.size());
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        EXPECT_EQ(keyedUnscramble(hex, key, 7), bytes);
    }
}

TEST(HoroscopeScrambler, EveryCarriedHoroscopeRoundTrips) {
    ASSERT_EQ(content::horoscopes().size(), 12u);
    for (const content::Horoscope& sign : content::horoscopes()) {
        const std::string stored = upgrade::horoscopeScramble(sign.text);
        EXPECT_EQ(stored.size(), 2 * sign.text.size());
        EXPECT_EQ(keyedUnscramble(stored, upgrade::kHoroscopeKey, upgrade::kHoroscopeRepetitions), sign.text)
            << sign.key;
    }
}
