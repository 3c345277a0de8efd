// The perpetual calendar of the calendar window: a month of six weeks from
// Monday, each day with its lunar day, solar term, festivals and public-holiday
// mark (休/班); a details view of the chosen day; a jump to a Gregorian or
// lunar date. Every fact comes from the lunar library; the holiday tables may
// be completed by holidays.json beside the page.
(function () {
  'use strict';
  var FIRST_YEAR = 1901;
  var LAST_YEAR = 2099;
  var WEEKDAYS = ['日', '一', '二', '三', '四', '五', '六'];
  var MAX_SUB = 7; // characters a cell shows before an ellipsis
  var DAY_MS = 86400000;

  var shown = { year: 0, month: 0 }; // month 1..12
  var selected = null; // {year, month, day}
  var hostToday = null; // {year, month, day}, when the window tells it

  function pad(n) { return (n < 10 ? '0' : '') + n; }
  function key(y, m, d) { return y + '-' + pad(m) + '-' + pad(d); }
  function daysIn(y, m) { return new Date(y, m, 0).getDate(); }
  function clampYear(y) { return Math.min(LAST_YEAR, Math.max(FIRST_YEAR, y)); }
  function sameDay(a, b) { return !!a && !!b && a.year === b.year && a.month === b.month && a.day === b.day; }
  function byId(id) { return document.getElementById(id); }
  function escape(text) {
    return String(text).replace(/[&<>"]/g, function (c) {
      return { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' }[c];
    });
  }
  // Day arithmetic in UTC: no clock change can make a day 23 hours long.
  function dayNumber(y, m, d) { return Math.round(Date.UTC(y, m - 1, d) / DAY_MS); }
  function fromDayNumber(n) {
    var t = new Date(n * DAY_MS);
    return { year: t.getUTCFullYear(), month: t.getUTCMonth() + 1, day: t.getUTCDate() };
  }
  function shorten(name) { return name.length > MAX_SUB ? name.substring(0, MAX_SUB - 1) + '…' : name; }

  // The public holidays: the library's tables, where holidays.json has no
  // arrangement for the holiday's year (the year of its festival day).
  var holidays = {
    fileDays: null, // day key -> {name, work, target}, from holidays.json
    fileYears: {}, // the years holidays.json arranges
    state: 'pending', // pending, none, loaded, broken
    problem: ''
  };

  function holidayOn(y, m, d) {
    var k = key(y, m, d);
    if (holidays.fileDays && holidays.fileDays[k]) return holidays.fileDays[k];
    var h = HolidayUtil.getHoliday(y, m, d);
    if (!h || holidays.fileYears[h.getTarget().substring(0, 4)]) return null;
    return { name: h.getName(), work: h.isWork(), target: h.getTarget() };
  }

  function validDay(text) {
    if (typeof text !== 'string' || !/^\d{4}-\d{2}-\d{2}$/.test(text)) return false;
    var p = text.split('-').map(Number);
    return p[1] >= 1 && p[1] <= 12 && p[2] >= 1 && p[2] <= daysIn(p[0], p[1]);
  }

  // The records of holidays.json, or why they cannot be taken (a whole file or nothing).
  function readHolidays(text) {
    var records;
    try { records = JSON.parse(text); } catch (e) { return { problem: '不是有效的 JSON' }; }
    if (!Array.isArray(records)) return { problem: '应为记录的数组' };
    var days = {}, years = {};
    for (var i = 0; i < records.length; i++) {
      var r = records[i];
      if (!r || !validDay(r.day) || !validDay(r.target) || typeof r.name !== 'string' || !r.name ||
          typeof r.work !== 'boolean')
        return { problem: '第 ' + (i + 1) + ' 条记录有误' };
      days[r.day] = { name: r.name, work: r.work, target: r.target };
      years[r.target.substring(0, 4)] = true;
    }
    return { days: days, years: years };
  }

  function loadHolidays() {
    var request = new XMLHttpRequest();
    request.onload = function () {
      if (request.status !== 200) {
        holidays.state = 'none';
      } else {
        var read = readHolidays(request.responseText);
        if (read.problem) {
          holidays.state = 'broken';
          holidays.problem = read.problem;
        } else {
          holidays.state = 'loaded';
          holidays.fileDays = read.days;
          holidays.fileYears = read.years;
        }
      }
      if (selected) render();
    };
    request.onerror = function () {
      holidays.state = 'none';
      if (selected) render();
    };
    try {
      request.open('GET', 'holidays.json');
      request.send();
    } catch (e) {
      holidays.state = 'none';
    }
  }

  function isPublicName(name) { return HolidayUtil.NAMES.indexOf(name) >= 0; }

  // What a day shows beneath its number, in the order a reader looks for:
  // public holiday, traditional festival, solar term, other observances,
  // then the lunar day.
  function describe(y, m, d) {
    var solar = Solar.fromYmd(y, m, d);
    var lunar = solar.getLunar();
    var traditional = lunar.getFestivals();
    var observed = solar.getFestivals();
    var festivals = traditional.concat(observed);
    var lunarMonth = lunar.getMonthInChinese() + '月';
    var lunarDay = lunar.getDayInChinese();
    var term = lunar.getJieQi();
    var pub = festivals.filter(isPublicName);
    var notPublic = function (name) { return !isPublicName(name); };
    var trad = traditional.filter(notPublic);
    var obs = observed.filter(notPublic);
    var sub, kind;
    if (pub.length) { sub = pub[0]; kind = 'pub'; }
    else if (trad.length) { sub = trad[0]; kind = 'trad'; }
    else if (term) { sub = term; kind = isPublicName(term + '节') ? 'pub' : 'term'; } // 清明
    else if (obs.length) { sub = obs[0]; kind = 'obs'; }
    else { sub = lunarDay === '初一' ? lunarMonth : lunarDay; kind = 'lunar'; }
    return {
      lunarMonth: lunarMonth,
      lunarDay: lunarDay,
      term: term,
      festivals: festivals,
      sub: sub,
      kind: kind,
      holiday: holidayOn(y, m, d),
      yearText: lunar.getYearInGanZhi() + '年【' + lunar.getYearShengXiao() + '年】'
    };
  }

  function holidayText(h) {
    return h ? (h.work ? '班 ' + h.name + '调休上班' : '休 ' + h.name + '放假') : '';
  }

  function fillPickers() {
    var year = byId('year');
    var month = byId('month');
    for (var y = FIRST_YEAR; y <= LAST_YEAR; y++) year.add(new Option(String(y), String(y)));
    for (var m = 1; m <= 12; m++) month.add(new Option(String(m), String(m)));
    // The keys then go to the calendar, not to the list.
    year.onchange = function () { show(+year.value, shown.month); year.blur(); };
    month.onchange = function () { show(shown.year, +month.value); month.blur(); };
  }

  function render() {
    var y = shown.year, m = shown.month;
    byId('year').value = String(y);
    byId('month').value = String(m);
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
          var h = info.holiday;
          cell.dataset.lunarMonth = info.lunarMonth;
          cell.dataset.lunarDay = info.lunarDay;
          cell.dataset.term = info.term;
          cell.dataset.festivals = info.festivals.join(' ');
          cell.dataset.kind = info.kind;
          cell.dataset.holiday = h ? (h.work ? '班' : '休') : '';
          cell.dataset.holidayName = h ? h.name : '';
          cell.innerHTML = (h ? '<span class="mark">' + (h.work ? '班' : '休') + '</span>' : '') +
                           '<div class="day">' + dd + '</div><div class="sub">' + escape(shorten(info.sub)) + '</div>';
          cell.title = [dy + '年' + dm + '月' + dd + '日 星期' + WEEKDAYS[date.getDay()],
                        '农历' + info.lunarMonth + info.lunarDay + (info.term ? ' ' + info.term : '')]
                         .concat(info.festivals, h ? [holidayText(h)] : []).join('\n');
          cell.classList.add(info.kind);
          if (h) cell.classList.add(h.work ? 'work' : 'rest');
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
        cell.ondblclick = function () { showDetails(true); };
      }
    }
    renderInfo();
    if (document.body.classList.contains('details')) renderDetails();
  }

  function renderInfo() {
    var s = selected;
    var info = describe(s.year, s.month, s.day);
    var weekday = WEEKDAYS[new Date(s.year, s.month - 1, s.day).getDay()];
    byId('info').innerHTML =
      s.year + '年' + s.month + '月' + s.day + '日 星期' + weekday + ' 农历<b>' + info.yearText + '</b>' +
      info.lunarMonth + info.lunarDay + (info.term ? ' ' + info.term : '');
  }

  // The next day off of a holiday after the chosen day's own holiday, within
  // the years whose arrangement is known.
  function nextHoliday(y, m, d) {
    var own = holidayOn(y, m, d);
    var start = dayNumber(y, m, d);
    for (var n = start + 1; n <= start + 400; n++) {
      var day = fromDayNumber(n);
      if (day.year > LAST_YEAR) break;
      var h = holidayOn(day.year, day.month, day.day);
      if (h && !h.work && !(own && !own.work && own.target === h.target))
        return { name: h.name, date: day, days: n - start };
    }
    return null;
  }

  function termText(jieQi) {
    var s = jieQi.getSolar();
    return jieQi.getName() + ' ' + s.getMonth() + '月' + s.getDay() + '日 ' + s.toYmdHms().substring(11, 16);
  }

  // Everything the details view lists of a day, as [key, label, text].
  function details(y, m, d) {
    var solar = Solar.fromYmd(y, m, d);
    var lunar = solar.getLunar();
    var names = function (list) { return list.map(function (f) { return f.getName(); }); };
    var festivals = lunar.getFestivals().concat(solar.getFestivals(), lunar.getOtherFestivals(),
                                                 solar.getOtherFestivals());
    var current = lunar.getCurrentJieQi() || lunar.getPrevJieQi();
    var season = [lunar.getFu(), lunar.getShuJiu()].filter(Boolean).map(function (x) { return x.toFullString(); });
    var h = holidayOn(y, m, d);
    var next = nextHoliday(y, m, d);
    return {
      solar: y + '年' + m + '月' + d + '日 星期' + solar.getWeekInChinese(),
      lunar: '农历' + lunar.getMonthInChinese() + '月' + lunar.getDayInChinese(),
      left: [
        ['ganzhi', '干支', lunar.getYearInGanZhi() + '年 ' + lunar.getMonthInGanZhi() + '月 ' + lunar.getDayInGanZhi() + '日'],
        ['shengxiao', '生肖', lunar.getYearShengXiao()],
        ['xingzuo', '星座', solar.getXingZuo() + '座'],
        ['festivals', '节日', festivals.join('、') || '—'],
        ['buddhist', '佛教', names(lunar.getFoto().getFestivals()).join('、') || '—'],
        ['taoist', '道教', names(lunar.getTao().getFestivals()).join('、') || '—'],
        ['season', '伏九', season.join('、') || '—'],
        ['term', '节气', '当前 ' + termText(current) + '，下一个 ' + termText(lunar.getNextJieQi())],
        ['holiday', '放假', (h ? holidayText(h) + '；' : '') +
          (next ? '距' + next.name + '假期（' + next.date.month + '月' + next.date.day + '日起）还有 ' + next.days + ' 天'
                : '暂无之后的放假安排')]
      ],
      right: [
        ['yi', '宜', lunar.getDayYi().join(' ')],
        ['ji', '忌', lunar.getDayJi().join(' ')],
        ['chongsha', '冲煞', '冲' + lunar.getDayChongDesc() + ' 煞' + lunar.getDaySha()],
        ['zhishen', '值神', lunar.getDayTianShen() + '（' + lunar.getDayTianShenType() + '）'],
        ['nayin', '纳音', lunar.getDayNaYin()],
        ['pengzu', '彭祖百忌', lunar.getPengZuGan() + ' ' + lunar.getPengZuZhi()],
        ['xiu', '二十八宿', lunar.getXiu() + lunar.getZheng() + lunar.getAnimal() + '（' + lunar.getXiuLuck() + '）']
      ]
    };
  }

  function rows(list) {
    return list.map(function (r) {
      return '<tr data-key="' + r[0] + '"><th>' + r[1] + '</th><td class="' + r[0] + '">' + escape(r[2]) + '</td></tr>';
    }).join('');
  }

  function renderDetails() {
    var s = selected;
    var all = details(s.year, s.month, s.day);
    byId('dSolar').textContent = all.solar;
    byId('dLunar').textContent = all.lunar;
    byId('dLeft').innerHTML = rows(all.left);
    byId('dRight').innerHTML = rows(all.right);
    var status = byId('status');
    status.textContent = holidays.state === 'broken' ? 'holidays.json 未采用：' + holidays.problem
                       : holidays.state === 'loaded' ? '放假安排含 holidays.json' : '';
  }

  function showDetails(on) {
    document.body.classList.toggle('details', on);
    byId('detailsButton').classList.toggle('on', on);
    if (on) renderDetails();
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

  function moveDays(n) {
    var day = fromDayNumber(dayNumber(selected.year, selected.month, selected.day) + n);
    select(day.year, day.month, day.day);
  }

  // The window's date when it gave one, the page's own clock otherwise.
  function today() {
    if (hostToday) return hostToday;
    var now = new Date();
    return { year: now.getFullYear(), month: now.getMonth() + 1, day: now.getDate() };
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

  // The jump form: a Gregorian date, or a lunar one (leap months as negative
  // month numbers, as the library counts them) turned into its Gregorian day.
  var jump = {
    fillMonths: function () {
      var kind = byId('jumpKind').value, y = +byId('jumpYear').value, month = byId('jumpMonth');
      var was = month.value;
      month.innerHTML = '';
      if (kind === 'lunar') {
        LunarYear.fromYear(y).getMonthsInYear().forEach(function (lm) {
          var n = lm.getMonth();
          month.add(new Option((n < 0 ? '闰' : '') + LunarUtil.MONTH[Math.abs(n)] + '月', String(n)));
        });
      } else {
        for (var n = 1; n <= 12; n++) month.add(new Option(n + '月', String(n)));
      }
      if (Array.prototype.some.call(month.options, function (o) { return o.value === was; })) month.value = was;
      jump.fillDays();
    },
    fillDays: function () {
      var kind = byId('jumpKind').value, y = +byId('jumpYear').value, m = +byId('jumpMonth').value;
      var day = byId('jumpDay');
      var was = day.value;
      var count = kind === 'lunar' ? LunarMonth.fromYm(y, m).getDayCount() : daysIn(y, m);
      day.innerHTML = '';
      for (var d = 1; d <= count; d++)
        day.add(new Option(kind === 'lunar' ? LunarUtil.DAY[d] : d + '日', String(d)));
      day.value = +was >= 1 && +was <= count ? was : String(Math.min(+was || 1, count));
    },
    open: function () {
      var s = selected;
      byId('jumpKind').value = 'solar';
      byId('jumpYear').value = String(s.year);
      byId('jumpMonth').innerHTML = '';
      jump.fillMonths();
      byId('jumpMonth').value = String(s.month);
      jump.fillDays();
      byId('jumpDay').value = String(s.day);
      byId('jumpNote').textContent = '';
      document.body.classList.add('jumping');
    },
    close: function () { document.body.classList.remove('jumping'); },
    go: function () {
      var y = +byId('jumpYear').value, m = +byId('jumpMonth').value, d = +byId('jumpDay').value;
      var target = { year: y, month: m, day: d };
      if (byId('jumpKind').value === 'lunar') {
        var s = Lunar.fromYmd(y, m, d).getSolar();
        target = { year: s.getYear(), month: s.getMonth(), day: s.getDay() };
      }
      if (target.year < FIRST_YEAR || target.year > LAST_YEAR) {
        byId('jumpNote').textContent = '该日在' + target.year + '年，超出本日历的 ' + FIRST_YEAR + '–' + LAST_YEAR + ' 年';
        return;
      }
      jump.close();
      select(target.year, target.month, target.day);
    }
  };

  function fillJump() {
    var year = byId('jumpYear');
    for (var y = FIRST_YEAR; y <= LAST_YEAR; y++) year.add(new Option(String(y), String(y)));
    byId('jumpKind').onchange = jump.fillMonths;
    year.onchange = jump.fillMonths;
    byId('jumpMonth').onchange = jump.fillDays;
    byId('jumpGo').onclick = jump.go;
    byId('jumpClose').onclick = jump.close;
    byId('jumpButton').onclick = function () {
      if (document.body.classList.contains('jumping')) jump.close();
      else jump.open();
    };
  }

  var KEYS = {
    ArrowLeft: function () { moveDays(-1); },
    ArrowRight: function () { moveDays(1); },
    ArrowUp: function () { moveDays(-7); },
    ArrowDown: function () { moveDays(7); },
    PageUp: function () { show(shown.year, shown.month - 1); },
    PageDown: function () { show(shown.year, shown.month + 1); },
    Home: showToday,
    Enter: function () { showDetails(!document.body.classList.contains('details')); }
  };

  document.addEventListener('keydown', function (e) {
    if (e.altKey || e.ctrlKey || e.metaKey) return;
    if (byId('jump').contains(e.target)) {
      if (e.key === 'Enter') { e.preventDefault(); jump.go(); }
      return;
    }
    var action = KEYS[e.key];
    if (!action) return;
    e.preventDefault();
    action();
  });

  // One month a wheel notch; a touchpad's small steps add up to one.
  var wheelSum = 0;
  byId('grid').addEventListener('wheel', function (e) {
    e.preventDefault();
    wheelSum += e.deltaMode === 0 ? e.deltaY : e.deltaY * 40;
    if (Math.abs(wheelSum) < 50) return;
    show(shown.year, shown.month + (wheelSum > 0 ? 1 : -1));
    wheelSum = 0;
  }, { passive: false });

  fillPickers();
  fillJump();
  byId('prevMonth').onclick = function () { show(shown.year, shown.month - 1); };
  byId('nextMonth').onclick = function () { show(shown.year, shown.month + 1); };
  byId('prevYear').onclick = function () { show(shown.year - 1, shown.month); };
  byId('nextYear').onclick = function () { show(shown.year + 1, shown.month); };
  byId('today').onclick = showToday;
  byId('detailsButton').onclick = function () { showDetails(!document.body.classList.contains('details')); };
  byId('back').onclick = function () { showDetails(false); };
  showToday();
  loadHolidays();

  // For whoever drives the page: the window (the date) and its tests.
  window.tackoraCalendar = {
    select: select, show: show, today: showToday, describe: describe, setToday: setToday,
    details: details, showDetails: showDetails,
    holidaysState: function () { return holidays.state; },
    todayDate: function () { var t = today(); return key(t.year, t.month, t.day); }
  };
})();
