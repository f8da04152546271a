#include "tools/jetdb/json_rows.h"

#include <cstdlib>
#include <stdexcept>

#include "text/utf8.h"

namespace jetdb {

namespace {

class LineParser {
public:
    explicit LineParser(const std::string& line) : text_(line) {}

    std::vector<jet::Value> row() {
        std::vector<jet::Value> values;
        expect('[');
        skipSpace();
        if (peek() == ']') {
            ++at_;
        } else {
            while (true) {
                values.push_back(value());
                skipSpace();
                if (peek() == ',') { ++at_; continue; }
                expect(']');
                break;
            }
        }
        skipSpace();
        if (at_ != text_.size()) fail("unexpected text after the row");
        return values;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::invalid_argument(what + " at column " + std::to_string(at_ + 1));
    }
    char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
    void skipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r')) ++at_;
    }
    void expect(char c) {
        skipSpace();
        if (peek() != c) fail(std::string("expected '") + c + "'");
        ++at_;
    }
    bool literal(const char* word) {
        const std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }

    jet::Value value() {
        skipSpace();
        const char c = peek();
        if (c == '"') return string();
        if (literal("null")) return jet::Value{};
        if (literal("true")) return true;
        if (literal("false")) return false;
        if (c == '-' || (c >= '0' && c <= '9')) return number();
        fail("expected a value");
    }

    jet::Value number() {
        const std::size_t start = at_;
        bool decimal = false;
        if (peek() == '-') ++at_;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c >= '0' && c <= '9') { ++at_; continue; }
            if (c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-') { decimal = true; ++at_; continue; }
            break;
        }
        const std::string digits = text_.substr(start, at_ - start);
        char* end = nullptr;
        if (!decimal) {
            const long long integer = std::strtoll(digits.c_str(), &end, 10);
            if (end != digits.c_str() + digits.size()) fail("bad number " + digits);
            return std::int64_t{integer};
        }
        const double real = std::strtod(digits.c_str(), &end);
        if (end != digits.c_str() + digits.size()) fail("bad number " + digits);
        return real;
    }

    unsigned hex4() {
        if (at_ + 4 > text_.size()) fail("short \\u escape");
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            value <<= 4;
            if (c >= '0' && c <= '9') value |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') value |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') value |= static_cast<unsigned>(c - 'A' + 10);
            else fail("bad \\u escape");
        }
        return value;
    }

    jet::Value string() {
        ++at_;   // opening quote
        std::string out;
        while (true) {
            if (at_ >= text_.size()) fail("unterminated string");
            const char c = text_[at_++];
            if (c == '"') break;
            if (c != '\\') { out.push_back(c); continue; }
            if (at_ >= text_.size()) fail("unterminated string");
            const char e = text_[at_++];
            switch (e) {
            case '"': out.push_back('"'); break;
            case '\\': out.push_back('\\'); break;
            case '/': out.push_back('/'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                char32_t cp = hex4();
                if (cp >= 0xD800 && cp <= 0xDBFF && text_.compare(at_, 2, "\\u") == 0) {
                    at_ += 2;
                    const unsigned low = hex4();
                    if (low < 0xDC00 || low > 0xDFFF) fail("unpaired surrogate");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                } else if (cp >= 0xD800 && cp <= 0xDFFF) {
                    fail("unpaired surrogate");
                }
                text::appendUtf8(out, cp);
                break;
            }
            default: fail(std::string("bad escape \\") + e);
            }
        }
        return out;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace

std::vector<std::vector<jet::Value>> readJsonRows(std::istream& in) {
    std::vector<std::vector<jet::Value>> rows;
    std::string line;
    std::size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        try {
            rows.push_back(LineParser(line).row());
        } catch (const std::invalid_argument& bad) {
            throw std::invalid_argument("line " + std::to_string(number) + ": " + bad.what());
        }
    }
    return rows;
}

}  // namespace jetdb
