'use strict';
// The table's vocabulary differs from lunar-javascript's in a few words.
// Every difference is mapped here, in one place, and anything the table's
// grammar cannot hold is rejected rather than written.

// Star signs: the table uses the older names for three of the twelve.
const STAR_SIGN = new Map([
  ['摩羯', '山羊'],
  ['白羊', '牡羊'],
  ['金牛', '牡牛'],
]);

// Pengzu taboo phrases: two of the library's wordings differ from the table's.
const PENGZU_WORD = new Map([
  ['泱水', '汲水'],
  ['会客', '宴客'],
]);

function starSign(libraryName) {
  return (STAR_SIGN.get(libraryName) ?? libraryName) + '座';
}

function pengzuPhrase(libraryPhrase) {
  let phrase = libraryPhrase;
  for (const [from, to] of PENGZU_WORD) phrase = phrase.split(from).join(to);
  return phrase;
}

// The library writes the fetal god as "占门碓 外东南"; the table holds the six
// characters without the space.
function fetalGodPosition(libraryText) {
  return libraryText.replace(/\s+/g, '');
}

// Token lists: one space between tokens, each token once (first occurrence
// kept), and "无" for a day without any token.
function tokenList(tokens) {
  const seen = [];
  for (const token of tokens) {
    const word = token.trim();
    if (word !== '' && word !== '无' && !seen.includes(word)) seen.push(word);
  }
  return seen.length === 0 ? '无' : seen.join(' ');
}

module.exports = { starSign, pengzuPhrase, fetalGodPosition, tokenList, STAR_SIGN, PENGZU_WORD };
