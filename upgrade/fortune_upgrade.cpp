#include "fortune_upgrade.h"

#include "data/fortunes/fortune_texts.h"
#include "text/gbk_codec.h"
#include "horoscope_scrambler.h"
#include "upgrade_messages.h"

namespace upgrade {
namespace {

bool isMarriageProduct(std::string_view directory) {
    return directory.find(kMarriageWord) != std::string_view::npos;
}

// The values of the twelve updates of each block are the same for every
// product; they are prepared once, on first use.
const std::vector<SqlParameters>& zodiacFortuneValues() {
    static const std::vector<SqlParameters> values = [] {
        std::vector<SqlParameters> all;
        for (const content::AnimalFortune& animal : content::animalFortunes())
            all.push_back({text::gbkToUtf8(animal.yearlyText), text::gbkToUtf8(animal.monthlyText), std::string(animal.key)});
        return all;
    }();
    return values;
}

const std::vector<SqlParameters>& horoscopeValues() {
    static const std::vector<SqlParameters> values = [] {
        std::vector<SqlParameters> all;
        for (const content::Horoscope& sign : content::horoscopes())
            all.push_back({horoscopeScramble(sign.text), std::string(sign.key)});
        return all;
    }();
    return values;
}

void updateZodiacFortunes(ProductQuery& query) {
    query.executeEach(kUpdateFortune, zodiacFortuneValues());
}

void updateHoroscopes(ProductQuery& query) {
    query.executeEach(kUpdateHoroscope, horoscopeValues());
}

// Runs one block on one file as one unit of work.
template <typename Block>
void runUnit(ProductQuery& query, Block&& block) {
    query.beginWork();
    try {
        block(query);
        query.commitWork();
    } catch (const DatabaseError&) {
        query.rollbackWork();
        throw;
    } catch (const std::exception& e) {
        // A value that could not be prepared fails the file like a database
        // error.
        query.rollbackWork();
        throw DatabaseError(query.directory(), query.fileName(), asProductFailure(e));
    }
}

}  // namespace

FortuneUpgradeResult runFortuneUpgrade(const CatalogueList& list, ProductQuery& query, UserFeedback& feedback,
                                       const FortuneProgressListener& progress) {
    FortuneUpgradeResult result;
    const Installation& installation = query.installation();
    const std::size_t rows = list.count();
    try {
        for (std::size_t i = 0; i < rows; ++i) {
            const std::string row = list.entry(i);
            const bool marriage = isMarriageProduct(row);
            // Every folder of the product (installed, "Program Files (x86)",
            // VirtualStore) with each file it holds, one unit per file.
            for (const ProductFolder& folder : installation.productFolders(row)) {
                const std::string& directory = folder.directory;
                if (!marriage && installation.fileExists(directory, kFortuneFile)) {
                    query.pointAt(directory, kFortuneFile);
                    if (progress) progress(i, rows, directory, FortuneBlock::ZodiacFortunes);
                    runUnit(query, updateZodiacFortunes);
                    ++result.fortuneBlocks;
                    result.upgraded = true;
                }
                if (installation.fileExists(directory, kHoroscopeFile)) {
                    query.pointAt(directory, kHoroscopeFile);
                    if (progress) progress(i, rows, directory, FortuneBlock::Horoscopes);
                    runUnit(query, updateHoroscopes);
                    ++result.horoscopeBlocks;
                    result.upgraded = true;
                }
            }
        }
    } catch (const DatabaseError& e) {
        result.failure = e;
        feedback.show(fortuneFailureMessage(e));
        return result;
    }
    feedback.show({std::string(kUpgradeCaption),
                   std::string(result.upgraded ? kUpgradeSucceeded : kNothingToUpgrade), MessageIcon::Information});
    return result;
}

UserMessage fortuneFailureMessage(const DatabaseError& failure) {
    std::string text = "升级中止。\n目录：" + failure.directory() + "\n文件：" + failure.fileName() +
                       "\n原因：" + failure.cause() + "\n此文件保持原样，未作任何改动。";
    return {std::string(kUpgradeCaption), std::move(text), MessageIcon::Error};
}

}  // namespace upgrade
