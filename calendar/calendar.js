// The perpetual calendar of the calendar window: a month of six weeks from
// Monday, each day with its lunar day, solar term and festivals; the header
// names the chosen day with its lunar year.
(function () {
  'use strict';
  var FIRST_YEAR = 1901;
  var LAST_YEAR = 2099;
  var WEEKDAYS = ['日', '一', '二', '三', '四', '五', '六'];

  var shown = { year: 0, month: 0 }; // month 1..12
  var selected = null; // {year, month, day}
  var hostToday = null; // {year, month, day}, when the window tells it

  function pad(n) { return (n < 10 ? '0' : '') + n; }
  function key(y, m, d) { return y + '-' + pad(m) + '-' + pad(d); }
  function daysIn(y, m) { return new Date(y, m, 0).getDate(); }
  function clampYear(y) { return Math.min(LAST_YEAR, Math.max(FIRST_YEAR, y)); }
  function sameDay(a, b) { return !!a && !!b && a.year === b.year && a.month === b.month && a.day === b.day; }

  // The window's date when it gave one, the page's own clock otherwise.
  function today() {
    if (hostToday) return hostToday;
    var now = new Date();
    return { year: now.getFullYear(), month: now.getMonth() + 1, day: now.getDate() };
  }

  // What a day shows beneath its number, and what tests and tooltips read.
  function describe(y, m, d) {
    var solar = Solar.fromYmd(y, m, d);
    var lunar = solar.getLunar();
    var festivals = lunar.getFestivals().concat(solar.getFestivals());
    var lunarMonth = lunar.getMonthInChinese() + '月';
    var lunarDay = lunar.getDayInChinese();
    var term = lunar.getJieQi();
    var plain = lunarDay === '初一' ? lunarMonth : lunarDay;
    return {
      lunarMonth: lunarMonth,
      lunarDay: lunarDay,
      term: term,
      festivals: festivals,
      sub: festivals.length ? festivals[0] : (term || plain),
      yearText: lunar.getYearInGanZhi() + '年【' + lunar.getYearShengXiao() + '年】'
    };
  }

  function fillPickers() {
    var year = document.getElementById('year');
    var month = document.getElementById('month');
    for (var y = FIRST_YEAR; y <= LAST_YEAR; y++) year.add(new Option(String(y), String(y)));
    for (var m = 1; m <= 12; m++) month.add(new Option(String(m), String(m)));
    year.onchange = function () { show(+year.value, shown.month); };
    month.onchange = function () { show(shown.year, +month.value); };
  }

  function render() {
    var y = shown.year, m = shown.month;
    document.getElementById('year').value = String(y);
    document.getElementById('month').value = String(m);
    var first = new Date(y, m - 1, 1);
    var offset = (first.getDay() + 6) % 7; // Monday first
    var t = today();
    var todayKey = key(t.year, t.month, t.day);
    var body = document.querySelector('#grid tbody');
    body.innerHTML = '';
    for (var week = 0; week < 6; week++) {
      var row = body.insertRow();
      for (var col = 0; col < 7; col++) {
        var date = new Date(y, m - 1, 1 - offset + week * 7 + col);
        var dy = date.getFullYear(), dm = date.getMonth() + 1, dd = date.getDate();
        var cell = row.insertCell();
        var k = key(dy, dm, dd);
        cell.dataset.date = k;
        if (dy >= FIRST_YEAR && dy <= LAST_YEAR) {
          var info = describe(dy, dm, dd);
          cell.dataset.lunarMonth = info.lunarMonth;
          cell.dataset.lunarDay = info.lunarDay;
          cell.dataset.term = info.term;
          cell.dataset.festivals = info.festivals.join(' ');
          cell.innerHTML = '<div class="day">' + dd + '</div><div class="sub">' + info.sub + '</div>';
          cell.title = '农历' + info.lunarMonth + info.lunarDay + (info.term ? ' ' + info.term : '') +
                       (info.festivals.length ? ' ' + info.festivals.join(' ') : '');
          if (info.festivals.length) cell.classList.add('festival');
          else if (info.term) cell.classList.add('term');
        } else {
          cell.innerHTML = '<div class="day">' + dd + '</div>';
        }
        if (dm !== m) cell.classList.add('other');
        if (col >= 5) cell.classList.add('weekend');
        if (k === todayKey) cell.classList.add('today');
        if (selected && k === key(selected.year, selected.month, selected.day)) cell.classList.add('selected');
        cell.onclick = (function (sy, sm, sd) {
          return function () { select(sy, sm, sd); };
        })(dy, dm, dd);
      }
    }
    renderInfo();
  }

  function renderInfo() {
    var s = selected;
    var info = describe(s.year, s.month, s.day);
    var weekday = WEEKDAYS[new Date(s.year, s.month - 1, s.day).getDay()];
    document.getElementById('info').innerHTML =
      s.year + '年' + s.month + '月' + s.day + '日 星期' + weekday + ' 农历<b>' + info.yearText + '</b>' +
      info.lunarMonth + info.lunarDay + (info.term ? ' ' + info.term : '');
  }

  function select(y, m, d) {
    if (y < FIRST_YEAR || y > LAST_YEAR) return;
    selected = { year: y, month: m, day: d };
    if (y !== shown.year || m !== shown.month) {
      shown = { year: y, month: m };
    }
    render();
  }

  // Shows month m of year y; the chosen day keeps its number where it can.
  function show(y, m) {
    while (m < 1) { m += 12; y--; }
    while (m > 12) { m -= 12; y++; }
    if (y < FIRST_YEAR || y > LAST_YEAR) return;
    var day = Math.min(selected ? selected.day : 1, daysIn(y, m));
    selected = { year: y, month: m, day: day };
    shown = { year: y, month: m };
    render();
  }

  function showToday() {
    var t = today();
    select(clampYear(t.year), t.month, t.day);
  }

  // A new date from the window (midnight passed, or the clock was set): whoever
  // was on the old today follows it; elsewhere the view stays, the mark moves.
  function setToday(y, m, d) {
    var old = today();
    hostToday = { year: y, month: m, day: d };
    if (sameDay(selected, old)) showToday();
    else render();
  }

  fillPickers();
  document.getElementById('prevMonth').onclick = function () { show(shown.year, shown.month - 1); };
  document.getElementById('nextMonth').onclick = function () { show(shown.year, shown.month + 1); };
  document.getElementById('prevYear').onclick = function () { show(shown.year - 1, shown.month); };
  document.getElementById('nextYear').onclick = function () { show(shown.year + 1, shown.month); };
  document.getElementById('today').onclick = showToday;
  showToday();

  // For whoever drives the page: the window (the date) and its tests.
  window.tackoraCalendar = {
    select: select, show: show, today: showToday, describe: describe, setToday: setToday,
    todayDate: function () { var t = today(); return key(t.year, t.month, t.day); }
  };
})();
