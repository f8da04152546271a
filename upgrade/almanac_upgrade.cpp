#include "almanac_upgrade.h"

#include "data/almanac/almanac_table.h"
#include "upgrade_messages.h"
#include "text/utf8.h"

namespace upgrade {
namespace {

bool isFengShuiProduct(std::string_view directory) {
    return directory.find(kFengShuiWord) != std::string_view::npos;
}

// The values of every day's insert are the same for every product; they are prepared once, on
// first use, as UTF-16, the form the databases store, so that no product's rows convert them.
const std::vector<SqlParameters>& almanacDayValues() {
    static const std::vector<SqlParameters> values = [] {
        std::vector<SqlParameters> all(content::almanacDayCount());
        for (std::size_t i = 0; i < all.size(); ++i)
            for (const std::string_view text : content::almanacDay(i)) {
                std::u16string units;
                text::appendUtf16(units, text);
                all[i].emplace_back(std::move(units));
            }
        return all;
    }();
    return values;
}

// Whether a folder of the product is to be rebuilt. An installed folder is
// when it holds QorBirth.dll. A VirtualStore folder holds copies of only the
// files the product wrote: the product counts as installed when either folder
// has QorBirth.dll, and the copy is rebuilt when the file that takes the rows
// was copied there; the installed file is rebuilt in its own folder.
bool holdsAlmanac(const Installation& installation, const ProductFolder& folder, std::string_view almanacFile) {
    if (!folder.virtualStore) return installation.fileExists(folder.directory, kAlmanacProbeFile);
    const bool productInstalled = installation.fileExists(folder.directory, kAlmanacProbeFile) ||
                                  installation.fileExists(folder.installedDirectory, kAlmanacProbeFile);
    return productInstalled && installation.fileExists(folder.directory, almanacFile);
}

// Empties huangdao and inserts every carried day in order.
void rebuildAlmanac(ProductQuery& query) {
    query.execute(kDeleteAlmanac);
    query.executeEach(kInsertAlmanacDay, almanacDayValues());
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
    const Installation& installation = query.installation();
    const std::size_t rows = list.count();
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string row = list.entry(i);
        const std::string_view almanacFile = isFengShuiProduct(row) ? kFengShuiAlmanacFile : kAlmanacProbeFile;
        for (const ProductFolder& folder : installation.productFolders(row)) {
            if (!holdsAlmanac(installation, folder, almanacFile)) continue;
            const std::string& directory = folder.directory;
            query.pointAt(directory, almanacFile);
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
