// SPDX-License-Identifier: MIT
#include "memos/MemoSlots.h"

#include "memos/LunarMemos.h"

#include "settings/SettingsFile.h"

MemoSlots::MemoSlots(QObject *parent)
    : QObject(parent) {
    for (int n = 0; n < kMemoCount; ++n)
        m_slots[n] = MemoSlot::initial(n);
    m_marks.fill(TitleMark::Initial);
}

void MemoSlots::setEnabled(int number, int value) {
    if (m_slots[number].enabled == value)
        return;
    m_slots[number].enabled = value;
    Q_EMIT slotChanged(number);
}

void MemoSlots::setTitleMark(int number, TitleMark mark) {
    if (m_marks[number] == mark)
        return;
    m_marks[number] = mark;
    Q_EMIT slotChanged(number);
}

void MemoSlots::setCurrentMemo(int number) {
    m_current = number;
    Q_EMIT currentMemoChanged(number);
}

void MemoSlots::LoadMemos(const SettingsFile &settings) {
    const QString section = QStringLiteral("MEMO");
    for (int n = 0; n < kMemoCount; ++n) {
        const QString record = settings.ReadSetting(section, memoKey(n));
        if (record.isEmpty())
            continue;
        applyRecord(m_slots[n], record);
        m_slots[n].lunar = LunarMonthDay::parse(settings.ReadSetting(section, lunarKey(n)));
        Q_EMIT slotChanged(n);
    }
    const QString colour = settings.ReadSetting(section, QStringLiteral("M_color"));
    if (!colour.isEmpty()) {
        m_previewColour = colour;
        Q_EMIT previewColourChanged();
    }
    if (m_current)
        Q_EMIT bodyReloadRequested();
}
