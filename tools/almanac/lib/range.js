'use strict';
// The days the carried almanac covers, both ends included.
module.exports = { FIRST_DAY: [2021, 1, 1], LAST_DAY: [2026, 2, 4] };
