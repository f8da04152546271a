#pragma once
// Conversion between UTF-8 (the program's internal text) and GBK, the
// simplified-Chinese code page 936 in which the products store their texts.

#include <stdexcept>
#include <string>
#include <string_view>

namespace text {

class EncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// UTF-8 → GBK bytes. Throws EncodingError naming the first character
// that code page 936 cannot represent (and its position), or malformed UTF-8.
std::string utf8ToGbk(std::string_view utf8);

// GBK bytes → UTF-8. Throws EncodingError on a byte sequence that is not
// valid code page 936.
std::string gbkToUtf8(std::string_view gbk);

// True when every character of the UTF-8 text is representable in GBK.
bool isGbkEncodable(std::string_view utf8);

}  // namespace text
