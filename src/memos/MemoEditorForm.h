// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QString>

class QTextDocument;
class SettingsFile;
class UserDialogs;
class Balloons;

/// The memo editor's fields and what loading and saving do with them, without
/// the window: the window mirrors these fields, and its key filters and
/// clamps are the functions below.
class MemoEditorForm final {
public:
    enum class Period { None, Yearly, Quarterly, Monthly, Daily, Weekly };

    MemoEditorForm(const SettingsFile &settings, UserDialogs &dialogs, Balloons *balloons);

    /// Loads memo number's record and body (into body).
    void LoadMemo(int number, QTextDocument &body);

    /// Saves: the body file first (when there is a body), then the checks,
    /// then the record. True when the record was stored; the board should
    /// then reload its memos.
    bool save(const QTextDocument &body);

    /// Chooses a period (the option buttons): which date boxes are enabled.
    void choosePeriod(Period period);
    bool weekdayEnabled() const { return period == Period::Weekly; }
    bool monthEnabled() const { return period == Period::Yearly; }
    bool dayEnabled() const {
        return period == Period::Yearly || period == Period::Quarterly || period == Period::Monthly;
    }

    /// The month and day boxes after a change: two characters above the
    /// range become its top, below 1 become "01".
    void clampMonthAndDay();

    /// The note beside the lunar fields: the next day, and how a leap month
    /// or day 30 falls in years that lack them. Empty when not lunar.
    QString lunarNote() const;

    /// The period character of a period option ("年" ...).
    static QString periodCharacter(Period period);
    /// Which characters a box accepts (backspace and Enter always pass).
    static bool acceptsKey(int box, QChar key);

    int number = 0;
    QString title;
    bool enabled = false;
    Period period = Period::None;
    QString weekday = QStringLiteral("7");
    QString month = QStringLiteral("12");
    QString day = QStringLiteral("31");
    QString time = QStringLiteral("00:00:00");
    /// The content frame's caption: the title as last loaded or saved.
    QString frameCaption;
    /// A yearly memo set by lunar month and day (month and day boxes):
    /// stored in key L0..L8, its record holding the Gregorian day.
    bool lunar = false;
    bool leapMonth = false;
    /// The day a lunar memo's Gregorian day is reckoned from.
    QDate today = QDate::currentDate();

private:
    const SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    Balloons *m_balloons;
};
