// SPDX-License-Identifier: MIT
#pragma once

#include "memos/MemoRecord.h"

#include <QObject>

#include <array>
#include <optional>

class SettingsFile;

/// How a memo's title is coloured: as loaded, red on its date, black on
/// other days.
enum class TitleMark { Initial, Today, OtherDay };

/// The nine memo slots of the board, the memo on show (the current memo)
/// and the preview's colour: the working copy the scheduler reads and the
/// board's memo rows mirror.
class MemoSlots final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemoSlots)
public:
    explicit MemoSlots(QObject *parent = nullptr);

    const MemoSlot &slot(int number) const { return m_slots[number]; }
    /// The user ticks or unticks a slot's check box: the scheduler follows,
    /// nothing is stored.
    void setEnabled(int number, int value);

    TitleMark titleMark(int number) const { return m_marks[number]; }
    void setTitleMark(int number, TitleMark mark);

    /// The memo on show, none until one is picked or falls due.
    std::optional<int> currentMemo() const { return m_current; }
    /// The number editors open: the current memo, 0 while there is none.
    int currentMemoOrFirst() const { return m_current.value_or(0); }
    void setCurrentMemo(int number);

    /// M_color as stored; empty keeps the preview's colour.
    const QString &previewColourText() const { return m_previewColour; }

    /// Copies the nine records of setup.ini into the slots (an empty record
    /// leaves its slot as it was), then M_color. The body of the current memo
    /// is the preview's business: bodyReloadRequested tells it.
    void LoadMemos(const SettingsFile &settings);

Q_SIGNALS:
    void slotChanged(int number);
    void currentMemoChanged(int number);
    void previewColourChanged();
    /// The preview shows the current memo's body again, when it has one.
    void bodyReloadRequested();

private:
    std::array<MemoSlot, kMemoCount> m_slots;
    std::array<TitleMark, kMemoCount> m_marks{};
    std::optional<int> m_current;
    QString m_previewColour;
};
