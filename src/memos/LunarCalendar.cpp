// SPDX-License-Identifier: MIT
// The library's header only declares its functions; they are looked up when
// first used, so the library and the GObject stack under it are not mapped
// into every start of the board.
#include <lunar-date/lunar-date.h>

#include "memos/LunarCalendar.h"

#include "common/NumericText.h"

#include <QLibrary>

namespace {

struct Api {
    decltype(&lunar_date_new) create = nullptr;
    decltype(&lunar_date_set_solar_date) setSolar = nullptr;
    decltype(&lunar_date_set_lunar_date) setLunar = nullptr;
    decltype(&lunar_date_strftime) format = nullptr;
    decltype(&lunar_date_free) destroy = nullptr;
    decltype(&g_free) freeText = nullptr;
    decltype(&g_error_free) freeError = nullptr;
    QString error;
};

const Api &api() {
    static const Api loaded = [] {
        Api a;
        // Never unloaded: GObject types cannot be registered twice.
        QLibrary library(QStringLiteral("lunar-date-3.0"), 1);
        library.setLoadHints(QLibrary::PreventUnloadHint);
        if (!library.load()) {
            a.error = QStringLiteral("农历库 liblunar-date-3.0 无法加载：") + library.errorString();
            return a;
        }
        const auto resolve = [&library](auto &pointer, const char *name) {
            pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(library.resolve(name));
            return pointer != nullptr;
        };
        if (!resolve(a.create, "lunar_date_new") || !resolve(a.setSolar, "lunar_date_set_solar_date") ||
            !resolve(a.setLunar, "lunar_date_set_lunar_date") || !resolve(a.format, "lunar_date_strftime") ||
            !resolve(a.destroy, "lunar_date_free") || !resolve(a.freeText, "g_free") ||
            !resolve(a.freeError, "g_error_free"))
            a.error = QStringLiteral("农历库 liblunar-date-3.0 缺少函数：") + library.errorString();
        return a;
    }();
    return loaded;
}

// One library date, freed on every path.
class Handle {
public:
    Handle()
        : m_date(api().error.isEmpty() ? api().create() : nullptr) {}
    ~Handle() {
        if (m_date)
            api().destroy(m_date);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    bool setSolar(const QDate &date) {
        GError *error = nullptr;
        api().setSolar(m_date, GDateYear(date.year()), GDateMonth(date.month()), GDateDay(date.day()), 12,
                       &error);
        return succeeded(error);
    }
    bool setLunar(const LunarDay &day) {
        GError *error = nullptr;
        api().setLunar(m_date, GDateYear(day.year), GDateMonth(day.month), GDateDay(day.day), 12,
                       day.leap ? TRUE : FALSE, &error);
        return succeeded(error);
    }
    // Three numbers of a "%(a)-%(b)-%(c)" format; a leap month reads "*4".
    std::optional<std::array<int, 3>> numbers(const char *format) const {
        gchar *text = api().format(m_date, format);
        if (!text)
            return std::nullopt;
        const QString result = QString::fromUtf8(text);
        api().freeText(text);
        // "2026-4-15", a leap month marked before its number: "2025-*6-1".
        const QList<QStringView> parts = QStringView(result).split(u'-');
        if (parts.size() != 3)
            return std::nullopt;
        QStringView month = parts[1];
        while (!month.isEmpty() && !month.front().isDigit())
            month = month.mid(1);
        const std::optional<int> numbers[] = {NumericText::digitsValue(parts[0]),
                                              NumericText::digitsValue(month),
                                              NumericText::digitsValue(parts[2])};
        if (!numbers[0] || !numbers[1] || !numbers[2])
            return std::nullopt;
        return std::array<int, 3>{*numbers[0], *numbers[1], *numbers[2]};
    }
    bool valid() const { return m_date != nullptr; }

private:
    static bool succeeded(GError *error) {
        if (!error)
            return true;
        api().freeError(error);
        return false;
    }
    LunarDate *m_date;
};

// Day 0 of lunar year 1900 and past 2100 are refused by the library: the
// range in Gregorian days.
bool inRange(const QDate &date) {
    return date.isValid() && date >= QDate(1900, 1, 31) && date <= QDate(2101, 1, 28);
}

} // namespace

std::optional<LunarMonthDay> LunarMonthDay::parse(const QString &text) {
    // "MM-DD" or "闰MM-DD", two ASCII digits each.
    QStringView rest = QStringView(text).trimmed();
    const bool leap = rest.startsWith(u'闰');
    if (leap)
        rest = rest.mid(1);
    if (rest.size() != 5 || rest[2] != u'-')
        return std::nullopt;
    const std::optional<int> month = NumericText::digitsValue(rest.first(2));
    const std::optional<int> day = NumericText::digitsValue(rest.last(2));
    if (!month || !day)
        return std::nullopt;
    LunarMonthDay result{*month, *day, leap};
    if (result.month < 1 || result.month > 12 || result.day < 1 || result.day > 30)
        return std::nullopt;
    return result;
}

QString LunarMonthDay::toText() const {
    return (leap ? QStringLiteral("闰") : QString()) +
           QStringLiteral("%1-%2").arg(month, 2, 10, QLatin1Char('0')).arg(day, 2, 10, QLatin1Char('0'));
}

QString LunarMonthDay::chineseName() const {
    static const char16_t *const digits[] = {u"",   u"一", u"二", u"三", u"四", u"五",
                                             u"六", u"七", u"八", u"九", u"十"};
    static const char16_t *const months[] = {u"正", u"二", u"三", u"四", u"五", u"六",
                                             u"七", u"八", u"九", u"十", u"冬", u"腊"};
    if (month < 1 || month > 12 || day < 1 || day > 30)
        return QString();
    QString dayName;
    if (day <= 10)
        dayName = QStringLiteral("初") + QString::fromUtf16(digits[day]);
    else if (day < 20)
        dayName = QStringLiteral("十") + QString::fromUtf16(digits[day - 10]);
    else if (day == 20)
        dayName = QStringLiteral("二十");
    else if (day < 30)
        dayName = QStringLiteral("廿") + QString::fromUtf16(digits[day - 20]);
    else
        dayName = QStringLiteral("三十");
    return (leap ? QStringLiteral("闰") : QString()) + QString::fromUtf16(months[month - 1]) + u'月' +
           dayName;
}

namespace LunarCalendar {

QString unavailableReason() {
    return api().error;
}

std::optional<LunarDay> fromGregorian(const QDate &date) {
    Handle handle;
    if (!handle.valid() || !inRange(date) || !handle.setSolar(date))
        return std::nullopt;
    const auto numbers = handle.numbers("%(nian)-%(yue)-%(ri)");
    if (!numbers)
        return std::nullopt;
    LunarDay day{(*numbers)[0], (*numbers)[1], (*numbers)[2], false};
    // Whether the month is the leap one, asked without trusting a marker
    // that a translation could change.
    day.leap = true;
    if (toGregorian(day) != date)
        day.leap = false;
    return day;
}

QDate toGregorian(const LunarDay &day) {
    Handle handle;
    if (!handle.valid() || day.year < 1900 || day.year > 2100 || !handle.setLunar(day))
        return QDate();
    const auto numbers = handle.numbers("%(year)-%(month)-%(day)");
    if (!numbers)
        return QDate();
    const QDate date((*numbers)[0], (*numbers)[1], (*numbers)[2]);
    return inRange(date) ? date : QDate();
}

LunarOccurrence occurrenceIn(int year, const LunarMonthDay &monthDay) {
    LunarOccurrence result;
    if (const QString reason = unavailableReason(); !reason.isEmpty()) {
        result.error = reason;
        return result;
    }
    if (monthDay.month < 1 || monthDay.month > 12 || monthDay.day < 1 || monthDay.day > 30) {
        result.error = QStringLiteral("农历日期无效：") + monthDay.toText();
        return result;
    }
    LunarDay day{year, monthDay.month, monthDay.day, monthDay.leap};
    if (day.leap && !toGregorian({year, day.month, 1, true}).isValid()) {
        day.leap = false;
        result.leapFellBack = true;
    }
    result.date = toGregorian(day);
    if (!result.date.isValid() && day.day == 30) {
        day.day = 29;
        result.dayFellBack = true;
        result.date = toGregorian(day);
    }
    if (!result.date.isValid())
        result.error = QStringLiteral("农历%1年%2超出农历库的范围（1900至2100年）")
                           .arg(year)
                           .arg(monthDay.chineseName());
    return result;
}

LunarOccurrence nextOnOrAfter(const LunarMonthDay &monthDay, const QDate &from) {
    const std::optional<LunarDay> today = fromGregorian(from);
    if (!today) {
        LunarOccurrence result;
        result.error = unavailableReason().isEmpty()
                           ? QStringLiteral("%1超出农历库的范围").arg(from.toString(Qt::ISODate))
                           : unavailableReason();
        return result;
    }
    LunarOccurrence occurrence = occurrenceIn(today->year, monthDay);
    if (occurrence.date.isValid() && occurrence.date >= from)
        return occurrence;
    return occurrenceIn(today->year + 1, monthDay);
}

LunarOccurrence lastBefore(const LunarMonthDay &monthDay, const QDate &before) {
    const std::optional<LunarDay> yesterday = fromGregorian(before.addDays(-1));
    if (!yesterday) {
        LunarOccurrence result;
        result.error = unavailableReason().isEmpty()
                           ? QStringLiteral("%1超出农历库的范围").arg(before.toString(Qt::ISODate))
                           : unavailableReason();
        return result;
    }
    LunarOccurrence occurrence = occurrenceIn(yesterday->year, monthDay);
    if (occurrence.date.isValid() && occurrence.date < before)
        return occurrence;
    return occurrenceIn(yesterday->year - 1, monthDay);
}

} // namespace LunarCalendar
