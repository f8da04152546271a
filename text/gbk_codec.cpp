#include "text/gbk_codec.h"

#include "text/utf8.h"

#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace text {
namespace {

constexpr unsigned kGbkCodePage = 936;

std::string describeCharacterAt(std::string_view utf8, std::size_t byteOffset) {
    const char32_t c = decodeUtf8At(utf8, byteOffset);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::string what = "character ";
    what += code;
    const std::size_t length = utf8SequenceLength(utf8, byteOffset);
    if (length > 0 && byteOffset + length <= utf8.size()) {
        what += " \"";
        what += utf8.substr(byteOffset, length);
        what += "\"";
    }
    what += " at byte " + std::to_string(byteOffset);
    return what;
}

#ifdef _WIN32

std::wstring toWide(std::string_view text, unsigned codePage, const char* sourceName) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (needed <= 0) throw EncodingError(std::string("invalid ") + sourceName + " text");
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), needed);
    return wide;
}

std::string fromWide(const std::wstring& wide, unsigned codePage, bool* lossy) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultPtr = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int needed = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultPtr);
    std::string out(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0)
        WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), needed, nullptr, usedDefaultPtr);
    if (lossy) *lossy = needed <= 0 || usedDefault;
    return out;
}

#else

// One iconv conversion. Returns false and the offset of the offending input
// byte when the input holds a character the target cannot represent or an
// invalid sequence.
bool iconvConvert(const char* to, const char* from, std::string_view input, std::string& output,
                  std::size_t& failedAt) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw EncodingError(std::string("the system cannot convert ") + from + " to " + to);
    output.clear();
    std::vector<char> buffer(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    bool ok = true;
    while (inLeft > 0) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer.data(), buffer.size() - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;
            failedAt = input.size() - inLeft;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

#endif

}  // namespace

std::string utf8ToGbk(std::string_view utf8) {
    if (const auto bad = findInvalidUtf8(utf8))
        throw EncodingError("malformed UTF-8 at byte " + std::to_string(*bad));
#ifdef _WIN32
    bool lossy = false;
    std::string gbk = fromWide(toWide(utf8, CP_UTF8, "UTF-8"), kGbkCodePage, &lossy);
    if (lossy) {
        // Find the first character that does not survive on its own.
        for (std::size_t at = 0; at < utf8.size();) {
            const std::size_t length = utf8SequenceLength(utf8, at);
            bool charLossy = false;
            fromWide(toWide(utf8.substr(at, length), CP_UTF8, "UTF-8"), kGbkCodePage, &charLossy);
            if (charLossy)
                throw EncodingError(describeCharacterAt(utf8, at) + " is not representable in GBK (code page 936)");
            at += length;
        }
    }
    return gbk;
#else
    std::string gbk;
    std::size_t failedAt = 0;
    if (!iconvConvert("GBK", "UTF-8", utf8, gbk, failedAt))
        throw EncodingError(describeCharacterAt(utf8, failedAt) + " is not representable in GBK (code page 936)");
    return gbk;
#endif
}

std::string gbkToUtf8(std::string_view gbk) {
#ifdef _WIN32
    return fromWide(toWide(gbk, kGbkCodePage, "GBK"), CP_UTF8, nullptr);
#else
    std::string utf8;
    std::size_t failedAt = 0;
    if (!iconvConvert("UTF-8", "GBK", gbk, utf8, failedAt))
        throw EncodingError("invalid GBK byte sequence at byte " + std::to_string(failedAt));
    return utf8;
#endif
}

bool isGbkEncodable(std::string_view utf8) {
    try {
        utf8ToGbk(utf8);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

}  // namespace text
