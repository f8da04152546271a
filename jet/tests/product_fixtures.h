#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/create/new_table.h"
#include "jet/file/page_file.h"
#include "jet/value.h"

// Tables shaped like the ones the upgrade writes, for write tests and benchmarks.
namespace jet::fixtures {

// A column definition for a new table (`length` in characters, for Text columns).
NewColumn column(const std::string& name, ColumnType type, std::uint16_t length = 255, bool autoNumber = false);

// Chinese text of exactly `characters` characters (CJK ideographs, varied), seeded.
std::string chineseText(std::size_t characters, unsigned seed);
// Uppercase hexadecimal text of `characters` characters.
std::string hexText(std::size_t characters, unsigned seed);

// huangdao: id AutoNumber primary key, gn Text(20) with an index (ASCII day keys), nn..ji
// Text(255), holding `rows` almanac rows.
NewTable almanacTable(std::size_t rows, unsigned seed = 1);
// The 11 values of one almanac row (gn first); gn is "YYYYMMDD"-like ASCII, the rest Chinese,
// together about 500 bytes stored.
std::vector<Value> almanacRow(std::size_t day, unsigned seed);
inline const char* const kAlmanacInsert =
    "insert into huangdao(gn,nn,suici,tszf,wuhang,cong,pzbj,jsyq,yi,xsyq,ji) values (?,?,?,?,?,?,?,?,?,?,?)";

// Bennian2011: shuxing Text(2) (one Chinese character, not indexed), Values and Liuyue memos;
// the twelve zodiac animals with short texts.
NewTable fortuneTable();
std::vector<std::string> zodiacAnimals();
inline const char* const kFortuneUpdate = "update Bennian2011 set [Values] = ?,Liuyue = ? where shuxing = ?";

// xingzuo2007: idxz Text(10) (three Chinese characters), content memo; twelve star signs.
NewTable horoscopeTable();
std::vector<std::string> starSigns();
inline const char* const kHoroscopeUpdate = "update xingzuo2007 set content = ? where idxz = ?";

// Lookups: id AutoNumber primary key, code Text(200) indexed. Codes are about 190 characters that
// differ early, so few fit an index page: 600 rows need an index three levels deep.
NewTable deepIndexTable(std::size_t rows);

// The number of levels of an index tree, counted down its first children.
std::size_t indexDepth(const PageFile& file, std::uint32_t root);

}  // namespace jet::fixtures
