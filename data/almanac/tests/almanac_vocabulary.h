#pragma once
// The almanac's fixed vocabularies, as the table must write them.

#include <array>
#include <string_view>

namespace almanac_test {

inline constexpr std::array<std::string_view, 10> kStems = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
inline constexpr std::array<std::string_view, 12> kBranches = {"子", "丑", "寅", "卯", "辰", "巳",
                                                               "午", "未", "申", "酉", "戌", "亥"};
inline constexpr std::array<std::string_view, 12> kAnimals = {"鼠", "牛", "虎", "兔", "龙", "蛇",
                                                              "马", "羊", "猴", "鸡", "狗", "猪"};
inline constexpr std::array<std::string_view, 12> kOfficers = {"建", "除", "满", "平", "定", "执",
                                                               "破", "危", "成", "收", "开", "闭"};
// Sha direction by day branch: 申子辰 south, 寅午戌 north, 亥卯未 west, 巳酉丑 east.
inline constexpr std::array<std::string_view, 12> kShaByBranch = {"南", "东", "北", "西", "南", "东",
                                                                  "北", "西", "南", "东", "北", "西"};
inline constexpr std::array<std::string_view, 10> kPengzuOfStem = {
    "开仓财物耗散", "栽植千株不长", "修灶必见灾殃", "剃头头必生疮", "受田田主不祥",
    "破券二比并亡", "经络织机虚张", "合酱主人不尝", "汲水更难提防", "词讼理弱敌强"};
inline constexpr std::array<std::string_view, 12> kPengzuOfBranch = {
    "问卜自惹祸殃", "冠带主不还乡", "祭祀神鬼不尝", "穿井水泉不香", "哭泣必主重丧", "远行财物伏藏",
    "苫盖屋主更张", "服药毒气入肠", "安床鬼祟入房", "宴客醉坐颠狂", "吃犬作怪上床", "嫁娶不利新郎"};
// Nayin of the sixty-pair cycle, one name per two consecutive pairs from 甲子.
inline constexpr std::array<std::string_view, 30> kNayin = {
    "海中金", "炉中火", "大林木", "路旁土", "剑锋金", "山头火", "涧下水", "城头土", "白蜡金", "杨柳木",
    "泉中水", "屋上土", "霹雳火", "松柏木", "长流水", "沙中金", "山下火", "平地木", "壁上土", "金箔金",
    "覆灯火", "天河水", "大驿土", "钗钏金", "桑柘木", "大溪水", "沙中土", "天上火", "石榴木", "大海水"};
// Star signs in their order through the year, from 山羊座 (late December).
inline constexpr std::array<std::string_view, 12> kStarSigns = {"山羊座", "水瓶座", "双鱼座", "牡羊座",
                                                                "牡牛座", "双子座", "巨蟹座", "狮子座",
                                                                "处女座", "天秤座", "天蝎座", "射手座"};
inline constexpr std::array<std::string_view, 7> kWeekdays = {"日", "一", "二", "三", "四", "五", "六"};

}  // namespace almanac_test
