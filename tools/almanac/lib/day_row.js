'use strict';
// The eleven almanac values of one Gregorian day, read from lunar-javascript.
// Year, month and day pairs are taken by calendar day: the year turns on the
// day of 立春 and the month on the day of each 节, so that the month stem
// always follows from the year stem.

const { Solar, LunarMonth } = require('lunar-javascript');
const wording = require('./wording');

const COLUMNS = ['gn', 'nn', 'suici', 'tszf', 'wuhang', 'cong', 'pzbj', 'jsyq', 'yi', 'xsyq', 'ji'];

const pad2 = (n) => String(n).padStart(2, '0');

function lunarMonthKind(lunar) {
  if (lunar.getMonth() < 0) return '润';
  return LunarMonth.fromYm(lunar.getYear(), lunar.getMonth()).getDayCount() === 30 ? '大' : '小';
}

function lunarDate(solar, lunar) {
  return `农历${pad2(Math.abs(lunar.getMonth()))}月(${lunarMonthKind(lunar)})${pad2(lunar.getDay())}日` +
    ` 星期${solar.getWeekInChinese()} ${wording.starSign(solar.getXingZuo())}`;
}

function yearMonthDay(lunar) {
  return `${lunar.getYearInGanZhiByLiChun()}年、生肖属${lunar.getYearShengXiaoByLiChun()}、` +
    `${lunar.getMonthInGanZhi()}月、${lunar.getDayInGanZhi()}日`;
}

function clash(lunar) {
  return `冲${lunar.getDayChongShengXiao()}(${lunar.getDayChongGan()}${lunar.getDayChong()})煞${lunar.getDaySha()}`;
}

function dayRow(year, month, day) {
  const solar = Solar.fromYmd(year, month, day);
  const lunar = solar.getLunar();
  return {
    gn: `${year}-${pad2(month)}-${pad2(day)}`,
    nn: lunarDate(solar, lunar),
    suici: yearMonthDay(lunar),
    tszf: wording.fetalGodPosition(lunar.getDayPositionTai()),
    wuhang: `${lunar.getDayNaYin()} ${lunar.getZhiXing()}执位`,
    cong: clash(lunar),
    pzbj: `${wording.pengzuPhrase(lunar.getPengZuGan())} ${wording.pengzuPhrase(lunar.getPengZuZhi())}`,
    jsyq: wording.tokenList(lunar.getDayJiShen()),
    yi: wording.tokenList(lunar.getDayYi()),
    xsyq: wording.tokenList(lunar.getDayXiongSha()),
    ji: wording.tokenList(lunar.getDayJi()),
  };
}

module.exports = { COLUMNS, dayRow };
