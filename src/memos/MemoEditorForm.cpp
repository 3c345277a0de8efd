// SPDX-License-Identifier: MIT
#include "memos/MemoEditorForm.h"

#include "common/AtomicFile.h"
#include "memos/LunarMemos.h"
#include "memos/MemoRecord.h"
#include "memos/RtfReader.h"
#include "memos/RtfWriter.h"
#include "platform/Balloons.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QTextDocument>

namespace {
const QString kMemo = QStringLiteral("MEMO");

QString clampTwoDigits(const QString &text, int top) {
    if (text.size() != 2)
        return text;
    QString value = text;
    if (leadingNumber(value) > top)
        value = QString::number(top);
    if (leadingNumber(value) < 1)
        value = QStringLiteral("01");
    return value;
}
} // namespace

MemoEditorForm::MemoEditorForm(const SettingsFile &settings, UserDialogs &dialogs, Balloons *balloons)
    : m_settings(settings)
    , m_dialogs(dialogs)
    , m_balloons(balloons) {}

QString MemoEditorForm::periodCharacter(Period period) {
    switch (period) {
    case Period::Yearly:
        return QStringLiteral("年");
    case Period::Quarterly:
        return QStringLiteral("季");
    case Period::Monthly:
        return QStringLiteral("月");
    case Period::Daily:
        return QStringLiteral("日");
    case Period::Weekly:
        return QStringLiteral("周");
    case Period::None:
        break;
    }
    return QString();
}

bool MemoEditorForm::acceptsKey(int box, QChar key) {
    if (key == QChar(8) || key == QChar(13))
        return true;
    switch (box) {
    case 2:
        return QStringLiteral("1234567").contains(key);
    case 3:
    case 4:
        return key.isDigit() && key.unicode() < 0x80;
    case 5:
        return (key.isDigit() && key.unicode() < 0x80) || key == u':';
    default:
        return true;
    }
}

void MemoEditorForm::choosePeriod(Period chosen) {
    period = chosen;
}

void MemoEditorForm::clampMonthAndDay() {
    month = clampTwoDigits(month, 12);
    day = clampTwoDigits(day, lunar ? 30 : 31);
}

QString MemoEditorForm::lunarNote() const {
    if (!lunar || period != Period::Yearly)
        return QString();
    const LunarMonthDay monthDay{leadingNumber(month), leadingNumber(day), leapMonth};
    const LunarOccurrence next = LunarCalendar::nextOnOrAfter(monthDay, today);
    if (!next.date.isValid())
        return next.error;
    QString note = QStringLiteral("农历%1，下次：%2")
                       .arg(monthDay.chineseName(), next.date.toString(QStringLiteral("yyyy-MM-dd")));
    if (leapMonth)
        note += QStringLiteral("；无此闰月之年按%1提醒")
                    .arg(LunarMonthDay{monthDay.month, monthDay.day, false}.chineseName());
    if (monthDay.day == 30)
        note += QStringLiteral("；该月只有29天时按廿九提醒");
    return note;
}

void MemoEditorForm::LoadMemo(int memoNumber, QTextDocument &body) {
    number = memoNumber;
    QFile file(memoBodyPath(m_settings.AppFolder(), number));
    if (file.open(QIODevice::ReadOnly))
        RtfReader::read(file.readAll(), body);
    const QString record = m_settings.ReadSetting(kMemo, memoKey(number));
    if (record.isEmpty())
        return;
    const QStringList pieces = record.split(u'|');
    const auto piece = [&](int i) { return i < pieces.size() ? trimBlanks(pieces[i]) : QString(); };
    enabled = leadingNumber(piece(0)) == 1;
    if (pieces.size() > 1) {
        const QString p = piece(1);
        if (p == u"季")
            choosePeriod(Period::Quarterly);
        else if (p == u"月")
            choosePeriod(Period::Monthly);
        else if (p == u"日")
            choosePeriod(Period::Daily);
        else if (p == u"周") {
            choosePeriod(Period::Weekly);
            weekday = piece(2);
        } else
            choosePeriod(Period::Yearly);
    }
    if (pieces.size() > 2) {
        const QString date = piece(2);
        if (!date.contains(u'-')) {
            day = date;
        } else {
            month = trimBlanks(date.section(u'-', 0, 0));
            day = trimBlanks(date.section(u'-', 1, 1));
        }
        clampMonthAndDay();
    }
    if (pieces.size() > 3)
        time = piece(3);
    if (pieces.size() > 4) {
        title = piece(4);
        frameCaption = title;
    }
    const std::optional<LunarMonthDay> lunarDay =
        LunarMonthDay::parse(m_settings.ReadSetting(kMemo, lunarKey(number)));
    if (lunarDay && period == Period::Yearly) {
        lunar = true;
        leapMonth = lunarDay->leap;
        month = QStringLiteral("%1").arg(lunarDay->month, 2, 10, QLatin1Char('0'));
        day = QStringLiteral("%1").arg(lunarDay->day, 2, 10, QLatin1Char('0'));
    }
}

bool MemoEditorForm::save(const QTextDocument &body) {
    const QString bodyPath = memoBodyPath(m_settings.AppFolder(), number);
    bool bodyStored = true;
    if (!body.isEmpty()) {
        // Replaced whole or not at all: a failed save keeps the old body.
        QString error;
        bodyStored = writeFileAtomically(bodyPath, RtfWriter::write(body), &error);
        if (!bodyStored)
            m_dialogs.message(QStringLiteral("便笺内容保存失败！\n") + error, QString(), MessageIcon::None);
    }
    if (title.isEmpty()) {
        m_dialogs.message(QStringLiteral("便笺标题不能为空！"), QString(), MessageIcon::None);
        return false;
    }
    if (time.size() != 8 || !isValidTimeOfDay(time)) {
        m_dialogs.message(QStringLiteral("提醒时间格式有误！请重填（正确为24小时制，例子：21:59:00）"),
                          QString(), MessageIcon::None);
        return false;
    }
    if (period == Period::None) {
        m_dialogs.message(QStringLiteral("请选择提醒设定！"), QString(), MessageIcon::None);
        return false;
    }
    if (leadingNumber(weekday) < 1)
        weekday = QStringLiteral("1");
    if (month.size() == 1)
        month.prepend(u'0');
    if (day.size() == 1)
        day.prepend(u'0');
    clampMonthAndDay();
    QString date;
    if (period == Period::Weekly)
        date = weekday;
    else if (monthEnabled())
        date = month + u'-' + day;
    else
        date = day;
    const bool lunarMemo = lunar && period == Period::Yearly;
    const LunarMonthDay lunarDay{leadingNumber(month), leadingNumber(day), leapMonth};
    if (lunarMemo) {
        // The record holds the Gregorian day, for readers that know no lunar key.
        const LunarOccurrence occurrence = lunarRecordDay(lunarDay, today);
        if (!occurrence.date.isValid()) {
            m_dialogs.message(QStringLiteral("农历日期无法换算！\n") + occurrence.error, QString(),
                              MessageIcon::Warning);
            return false;
        }
        date = occurrence.date.toString(QStringLiteral("MM-dd"));
    }
    const QString storedTitle = trimBlanks(title);
    QString error;
    if (!m_settings.WriteSetting(
            kMemo, memoKey(number),
            formatRecord(enabled ? 1 : 0, periodCharacter(period), date, time, storedTitle), &error)) {
        m_dialogs.message(QStringLiteral("便笺[%1]的提醒设定未能保存到setup.ini！\n").arg(number) + error,
                          QString(), MessageIcon::Warning);
        return false;
    }
    // An emptied key reads as none: the memo is no lunar memo any more.
    const QString lunarText = lunarMemo ? lunarDay.toText() : QString();
    if ((lunarMemo || !m_settings.ReadSetting(kMemo, lunarKey(number)).isEmpty()) &&
        !m_settings.WriteSetting(kMemo, lunarKey(number), lunarText, &error)) {
        m_dialogs.message(QStringLiteral("便笺[%1]的农历日期未能保存到setup.ini！\n").arg(number) + error,
                          QString(), MessageIcon::Warning);
        return false;
    }
    frameCaption = storedTitle;
    // Success is confirmed only when the body was stored too.
    if (m_balloons && bodyStored)
        m_balloons->ShowBubble(QStringLiteral("便笺编辑"),
                               QStringLiteral("便笺[%1]修改保存成功!").arg(number), 1);
    return true;
}
