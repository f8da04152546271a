#include "almanac_upgrade.h"

#include "data/almanac/almanac_table.h"
#include "upgrade_messages.h"

namespace upgrade {
namespace {

bool isFengShuiProduct(std::string_view directory) {
    return directory.find(kFengShuiWord) != std::string_view::npos;
}

// Empties huangdao and inserts every carried day in order.
void rebuildAlmanac(ProductQuery& query) {
    query.execute(kDeleteAlmanac);
    const std::size_t days = content::almanacDayCount();
    // One set of values for every day: each day's texts go into the strings the day before
    // left, so that the run does not allocate per value. The texts are handed over as UTF-16,
    // converted once for all products, so that no product's rows convert them again.
    SqlParameters values(content::kAlmanacColumnCount, std::u16string());
    for (std::size_t i = 0; i < days; ++i) {
        const auto day = content::almanacDayUtf16(i);
        for (std::size_t c = 0; c < day.size(); ++c) std::get<std::u16string>(values[c]).assign(day[c]);
        query.execute(kInsertAlmanacDay, values);
    }
}

}  // namespace

std::string describeFailure(const std::exception& failure) {
    if (const auto* database = dynamic_cast<const DatabaseError*>(&failure))
        return database->fileName() + "，" + database->cause();
    return userCause(asProductFailure(failure));
}

AlmanacUpgradeResult runAlmanacUpgrade(const CatalogueList& list, ProductQuery& query, AlmanacLogs logs,
                                       UserFeedback& feedback, const ProgressListener& progress) {
    AlmanacUpgradeResult result;
    const std::size_t rows = list.count();
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string directory = list.entry(i);
        if (!query.installation().fileExists(directory, kAlmanacProbeFile)) continue;
        query.pointAt(directory, isFengShuiProduct(directory) ? kFengShuiAlmanacFile : kAlmanacProbeFile);
        if (progress) progress(i, rows, directory);
        try {
            query.beginWork();
            rebuildAlmanac(query);
            query.commitWork();
            logs.succeeded.append(directory);
            ++result.succeeded;
        } catch (const std::exception& e) {
            // The directory is reported to the user below and logged; its file
            // is left exactly as it was.
            query.rollbackWork();
            logs.failed.append(directory);
            result.failures.push_back({directory, describeFailure(e)});
        }
        result.upgraded = true;
    }
    feedback.show(almanacUpgradeMessage(result));
    return result;
}

UserMessage almanacUpgradeMessage(const AlmanacUpgradeResult& result) {
    UserMessage message;
    message.caption = kUpgradeCaption;
    if (!result.upgraded) {
        message.text = kNothingToUpgrade;
        return message;
    }
    if (result.failures.empty()) {
        message.text = kUpgradeSucceeded;
        return message;
    }
    message.icon = MessageIcon::Warning;
    message.text = kFailedDirectoriesHeading;
    for (const DirectoryFailure& failure : result.failures) {
        message.text += "\n";
        message.text += failure.directory;
        message.text += "：";
        message.text += failure.cause;
    }
    message.text += "\n";
    message.text += result.succeeded > 0 ? kOthersSucceeded : kNoneSucceeded;
    return message;
}

}  // namespace upgrade
