#pragma once
// Character-level views of UTF-8 text as the fortune checks need them:
// characters one by one, counts, and the blanks a text line may hold.

#include <cstddef>
#include <string_view>
#include <vector>

namespace content {

// The text cut into its characters; a byte that does not start a well-formed
// UTF-8 sequence stands alone.
std::vector<std::string_view> characters(std::string_view utf8);
std::size_t characterCount(std::string_view utf8);

// ASCII space, tab, no-break space and the ideographic space U+3000.
bool isBlankCharacter(std::string_view character);
// The text without blanks (as above) at either end.
std::string_view trimBlankCharacters(std::string_view utf8);

// The text split at LF, as stored in the repository: a final LF ends the last
// line and does not open another one.
struct SplitText {
    std::vector<std::string_view> lines;
    bool endsWithLineBreak = false;
};
SplitText splitAtLineFeeds(std::string_view utf8);

}  // namespace content
