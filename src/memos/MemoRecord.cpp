// SPDX-License-Identifier: MIT
#include "memos/MemoRecord.h"

#include "common/NumericText.h"
#include "platform/UserDialogs.h"

MemoSlot MemoSlot::initial(int number) {
    MemoSlot slot;
    slot.period = QString::number(number + 1);
    return slot;
}

int leadingNumber(const QString &text) {
    int value = 0;
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > 100000000)
            break; // far beyond any day, month or weekday
    }
    return value;
}

void applyRecord(MemoSlot &slot, const QString &record) {
    if (record.isEmpty())
        return;
    const QStringList pieces = record.split(u'|');
    if (pieces.size() > 0) {
        // The check box takes 0, 1 and 2 only; any other value is refused and
        // the box keeps its state.
        const int value = leadingNumber(trimBlanks(pieces[0]));
        if (value >= 0 && value <= 2)
            slot.enabled = value;
    }
    if (pieces.size() > 1)
        slot.period = trimBlanks(pieces[1]);
    if (pieces.size() > 2)
        slot.date = trimBlanks(pieces[2]);
    if (pieces.size() > 3)
        slot.time = trimBlanks(pieces[3]);
    if (pieces.size() > 4)
        slot.title = trimBlanks(pieces[4]);
}

QString formatRecord(int enabled, const QString &period, const QString &date, const QString &time,
                     const QString &title) {
    return QString::number(enabled) + u'|' + period + u'|' + date + u'|' + time + u'|' + title;
}

bool isValidTimeOfDay(const QString &text) {
    // h:m or h:m:s, one or two ASCII digits each. Checked every second for
    // every memo, so by hand.
    const QList<QStringView> parts = QStringView(text).split(u':');
    if (parts.size() != 2 && parts.size() != 3)
        return false;
    const int limits[] = {23, 59, 59};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<int> value = NumericText::digitsValue(parts[i]);
        if (parts[i].size() > 2 || !value || *value > limits[i])
            return false;
    }
    return true;
}

QString memoKey(int number) {
    return QStringLiteral("M%1").arg(number);
}

QString memoBodyPath(const QString &appFolder, int number) {
    return appFolder + QStringLiteral("M%1.rtf").arg(number);
}

QString memoSoundPath(const QString &appFolder, int number) {
    return appFolder + QStringLiteral("M%1.wav").arg(number);
}
