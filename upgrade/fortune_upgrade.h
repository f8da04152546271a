#pragma once
// The yearly fortune upgrade: in every installed product of the fortune list,
// the zodiac fortunes of Bennian2011 (Tgcode.dll, except in marriage-matching
// products) and the horoscopes of xingzuo2007 (QorFile.dll) are rewritten.
// Each file's twelve updates are one unit of work; a key that matches no row
// changes nothing and is no error. The first failure ends the whole action:
// the failed file is left as it was, files finished before stay upgraded, and
// the user is told which file failed and why. Every folder of a product on
// this platform (Installation::productFolders) is visited with its own files.

#include "catalogue.h"
#include "product_query.h"
#include "user_feedback.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace upgrade {

inline constexpr std::string_view kFortuneFile = "\\Tgcode.dll";
inline constexpr std::string_view kHoroscopeFile = "\\QorFile.dll";
inline constexpr std::string_view kUpdateFortune =
    "update Bennian2011 set [Values] = ?,Liuyue = ? where shuxing = ?";
inline constexpr std::string_view kUpdateHoroscope = "update xingzuo2007 set content = ? where idxz = ?";

struct FortuneUpgradeResult {
    bool upgraded = false;
    std::size_t fortuneBlocks = 0;    // files whose zodiac fortunes were rewritten
    std::size_t horoscopeBlocks = 0;  // files whose horoscopes were rewritten
    std::optional<DatabaseError> failure;  // the error that ended the action
};

enum class FortuneBlock { ZodiacFortunes, Horoscopes };
// Called before each block, with the catalogue row, the number of rows, the
// directory and the block.
using FortuneProgressListener =
    std::function<void(std::size_t row, std::size_t rows, std::string_view directory, FortuneBlock block)>;

FortuneUpgradeResult runFortuneUpgrade(const CatalogueList& list, ProductQuery& query, UserFeedback& feedback,
                                       const FortuneProgressListener& progress = {});

// The error box of a failed fortune upgrade.
UserMessage fortuneFailureMessage(const DatabaseError& failure);

}  // namespace upgrade
