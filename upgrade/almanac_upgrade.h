#pragma once
// The almanac upgrade: in every installed product of a catalogue list, the
// table huangdao is rebuilt from the carried almanac, one directory at a time
// and each as one unit of work, so a failure leaves that file as it was.

#include "catalogue.h"
#include "product_query.h"
#include "text/text_lines.h"
#include "user_feedback.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace upgrade {

inline constexpr std::string_view kAlmanacProbeFile = "\\QorBirth.dll";
inline constexpr std::string_view kFengShuiAlmanacFile = "\\QorFile.dll";
inline constexpr std::string_view kDeleteAlmanac = "DELETE FROM huangdao";
inline constexpr std::string_view kInsertAlmanacDay =
    "insert into huangdao(gn,nn,suici,tszf,wuhang,cong,pzbj,jsyq,yi,xsyq,ji) values (?,?,?,?,?,?,?,?,?,?,?)";

struct DirectoryFailure {
    std::string directory;
    std::string cause;
};

struct AlmanacUpgradeResult {
    bool upgraded = false;  // some directory held the almanac database
    std::size_t succeeded = 0;
    std::vector<DirectoryFailure> failures;
};

struct AlmanacLogs {
    text::LineList& succeeded;  // Memo37
    text::LineList& failed;     // Memo38
};

// Called before each directory's rebuild, with the catalogue row, the number
// of rows and the directory.
using ProgressListener = std::function<void(std::size_t row, std::size_t rows, std::string_view directory)>;

// Rebuilds huangdao in every directory of the list that holds QorBirth.dll
// (in QorFile.dll for feng-shui products), logs each directory, and tells the
// user the outcome through feedback. Every folder of a product on this
// platform (Installation::productFolders) is a directory of its own here.
AlmanacUpgradeResult runAlmanacUpgrade(const CatalogueList& list, ProductQuery& query, AlmanacLogs logs,
                                       UserFeedback& feedback, const ProgressListener& progress = {});

// A failure in words for the user: the file and the cause (failure_cause.h).
std::string describeFailure(const std::exception& failure);

// The message that closes an almanac upgrade.
UserMessage almanacUpgradeMessage(const AlmanacUpgradeResult& result);

}  // namespace upgrade
