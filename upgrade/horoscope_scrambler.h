#pragma once
// The form in which the products store their horoscope texts: the GBK bytes
// of the text run through a keyed byte transform several times, then written
// as uppercase hexadecimal.

#include <cstdint>
#include <string>
#include <string_view>

namespace upgrade {

// Every byte as two uppercase hexadecimal digits, high nibble first.
std::string hexEncoding(std::string_view bytes);

// Applies `repetitions` rounds of a forward and a backward pass to a copy of
// the bytes and returns the hex encoding of the result. The forward pass
// rewrites each byte but the last from itself XOR the key's low byte, minus
// its right neighbour as it was before the pass; the backward pass rewrites
// each byte but the first, from the last down, from itself XOR the key's high
// byte, minus its left neighbour as the forward pass left it. Arithmetic wraps
// modulo 256. An empty text gives an empty text; repetitions <= 0 only encode.
std::string keyedScramble(std::string_view bytes, std::uint16_t key, int repetitions);

inline constexpr std::uint16_t kHoroscopeKey = 8642;
inline constexpr int kHoroscopeRepetitions = 7;

// The stored form of a horoscope text given as GBK bytes.
std::string horoscopeScramble(std::string_view gbkText);

}  // namespace upgrade
