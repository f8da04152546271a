#pragma once
// The 36 fortune texts of 2024 carried inside the program, in the order the
// fortune upgrade processes them, each with the key and memo name it is
// written under. Texts come as the upgrade needs them: GBK bytes, every line
// (the last included) followed by CR LF. They are converted from the
// embedded UTF-8 files on first use.

#include "data/fortunes/fortune_facts.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace content {

// A carried text that cannot be turned into its GBK form.
class FortuneTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct AnimalFortune {
    std::string_view key;          // "狗" … "猪", UTF-8
    std::string_view yearlyMemo;   // Memo1..Memo12
    std::string_view monthlyMemo;  // Memo13..Memo24
    std::string yearlyText;        // GBK, CR LF
    std::string monthlyText;       // GBK, CR LF
};

struct Horoscope {
    std::string_view key;   // "白羊座" … "双鱼座", UTF-8
    std::string_view memo;  // Memo25..Memo36
    std::string text;       // GBK, CR LF
};

// Twelve animals: 狗 猴 虎 鸡 龙 马 牛 蛇 鼠 兔 羊 猪.
const std::vector<AnimalFortune>& animalFortunes();
// Twelve signs: 白羊座 金牛座 天蝎座 天秤座 双子座 射手座 摩羯座 巨蟹座 狮子座 水瓶座 处女座 双鱼座.
const std::vector<Horoscope>& horoscopes();

enum class FortuneTextKind { Yearly, Monthly, Horoscope };

// One embedded file as stored in the repository (UTF-8, LF line ends).
struct EmbeddedFortuneText {
    FortuneTextKind kind;
    std::size_t position;     // index into animalFacts() or signFacts()
    std::string fileName;     // e.g. "yearly-dog.txt"
    std::string_view memo;
    std::string_view utf8;
};

// All 36 files in memo order, Memo1 first.
const std::vector<EmbeddedFortuneText>& embeddedFortuneTexts();

// The upgrade form of a UTF-8 text: GBK bytes, CR LF after every line.
// Throws FortuneTextError naming sourceName when a character has no GBK form.
std::string toUpgradeForm(std::string_view utf8, std::string_view sourceName);

}  // namespace content
