#include "fortune_texts.h"

#include "text/gbk_codec.h"
#include "text/text_lines.h"

#include <array>

namespace content {

// Defined by the source that embed_files generates from texts/.
std::string_view yearly_dog();
std::string_view yearly_monkey();
std::string_view yearly_tiger();
std::string_view yearly_rooster();
std::string_view yearly_dragon();
std::string_view yearly_horse();
std::string_view yearly_ox();
std::string_view yearly_snake();
std::string_view yearly_rat();
std::string_view yearly_rabbit();
std::string_view yearly_goat();
std::string_view yearly_pig();
std::string_view monthly_dog();
std::string_view monthly_monkey();
std::string_view monthly_tiger();
std::string_view monthly_rooster();
std::string_view monthly_dragon();
std::string_view monthly_horse();
std::string_view monthly_ox();
std::string_view monthly_snake();
std::string_view monthly_rat();
std::string_view monthly_rabbit();
std::string_view monthly_goat();
std::string_view monthly_pig();
std::string_view horoscope_aries();
std::string_view horoscope_taurus();
std::string_view horoscope_scorpio();
std::string_view horoscope_libra();
std::string_view horoscope_gemini();
std::string_view horoscope_sagittarius();
std::string_view horoscope_capricorn();
std::string_view horoscope_cancer();
std::string_view horoscope_leo();
std::string_view horoscope_aquarius();
std::string_view horoscope_virgo();
std::string_view horoscope_pisces();

namespace {

using EmbeddedFile = std::string_view (*)();

// In the order of animalFacts() and signFacts().
constexpr std::array<EmbeddedFile, 12> kYearlyFiles{
    yearly_dog, yearly_monkey, yearly_tiger, yearly_rooster,
    yearly_dragon, yearly_horse, yearly_ox, yearly_snake,
    yearly_rat, yearly_rabbit, yearly_goat, yearly_pig,
};
constexpr std::array<EmbeddedFile, 12> kMonthlyFiles{
    monthly_dog, monthly_monkey, monthly_tiger, monthly_rooster,
    monthly_dragon, monthly_horse, monthly_ox, monthly_snake,
    monthly_rat, monthly_rabbit, monthly_goat, monthly_pig,
};
constexpr std::array<EmbeddedFile, 12> kHoroscopeFiles{
    horoscope_aries, horoscope_taurus, horoscope_scorpio, horoscope_libra,
    horoscope_gemini, horoscope_sagittarius, horoscope_capricorn, horoscope_cancer,
    horoscope_leo, horoscope_aquarius, horoscope_virgo, horoscope_pisces,
};

std::vector<EmbeddedFortuneText> listEmbeddedTexts() {
    std::vector<EmbeddedFortuneText> texts;
    const auto animals = animalFacts();
    for (std::size_t i = 0; i < animals.size(); ++i)
        texts.push_back(
            {FortuneTextKind::Yearly, i, animals[i].yearlyFileName(), animals[i].yearlyMemo, kYearlyFiles[i]()});
    for (std::size_t i = 0; i < animals.size(); ++i)
        texts.push_back(
            {FortuneTextKind::Monthly, i, animals[i].monthlyFileName(), animals[i].monthlyMemo, kMonthlyFiles[i]()});
    const auto signs = signFacts();
    for (std::size_t i = 0; i < signs.size(); ++i)
        texts.push_back({FortuneTextKind::Horoscope, i, signs[i].fileName(), signs[i].memo, kHoroscopeFiles[i]()});
    return texts;
}

std::string upgradeFormOf(const EmbeddedFortuneText& text) {
    return toUpgradeForm(text.utf8, text.fileName + " (" + std::string(text.memo) + ")");
}

}  // namespace

std::string toUpgradeForm(std::string_view utf8, std::string_view sourceName) {
    const std::string crlf = text::LineList::fromText(utf8).text();
    try {
        return text::utf8ToGbk(crlf);
    } catch (const text::EncodingError& e) {
        throw FortuneTextError("fortune text " + std::string(sourceName) + ": " + e.what());
    }
}

const std::vector<EmbeddedFortuneText>& embeddedFortuneTexts() {
    static const std::vector<EmbeddedFortuneText> texts = listEmbeddedTexts();
    return texts;
}

const std::vector<AnimalFortune>& animalFortunes() {
    static const std::vector<AnimalFortune> fortunes = [] {
        const auto& texts = embeddedFortuneTexts();
        const auto animals = animalFacts();
        std::vector<AnimalFortune> list;
        for (std::size_t i = 0; i < animals.size(); ++i)
            list.push_back({animals[i].key, animals[i].yearlyMemo, animals[i].monthlyMemo, upgradeFormOf(texts[i]),
                            upgradeFormOf(texts[animals.size() + i])});
        return list;
    }();
    return fortunes;
}

const std::vector<Horoscope>& horoscopes() {
    static const std::vector<Horoscope> list = [] {
        const auto& texts = embeddedFortuneTexts();
        const auto signs = signFacts();
        const std::size_t first = 2 * animalFacts().size();
        std::vector<Horoscope> result;
        for (std::size_t i = 0; i < signs.size(); ++i)
            result.push_back({signs[i].key, signs[i].memo, upgradeFormOf(texts[first + i])});
        return result;
    }();
    return list;
}

}  // namespace content
