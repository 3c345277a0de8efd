// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <array>

class MemoSlots;
class QCheckBox;
class QLabel;
class QTextEdit;
class StatusLine;

/// The nine memo rows and the preview on the board's memo page. It mirrors
/// MemoSlots; clicks pick and preview memos, a double click on a time opens
/// the editor, the preview's click stretches the page over the file box.
class MemoPage final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemoPage)
public:
    MemoPage(MemoSlots &slots, StatusLine &status, QString appFolder, QWidget *parent);

    QTextEdit *preview() const { return m_preview; }
    bool isExpanded() const { return m_expanded; }
    /// The preview's height for the normal or the stretched page, in twips.
    void setExpanded(bool expanded);

    /// Shows memo number's body in the preview, when it has one (the preview
    /// is not cleared first).
    void loadBody(int number);
    /// The hover highlight of the rows goes.
    void resetSlotHighlight();
    /// The header's edit button: the current memo, memo 0 while there is
    /// none, becomes current and opens in edit mode.
    void editCurrentMemo();

Q_SIGNALS:
    void editorRequested(int number, bool viewMode);
    void expandToggled();
    /// A move over the preview resets the header buttons' highlight too.
    void headerHighlightResetRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void mirrorSlot(int number);
    void mirrorColour();
    void clickTitle(int number);

    MemoSlots &m_slots;
    StatusLine &m_status;
    QString m_appFolder;
    std::array<QCheckBox *, 9> m_checks{};
    std::array<QLabel *, 9> m_times{};
    std::array<QLabel *, 9> m_titles{};
    QTextEdit *m_preview = nullptr;
    bool m_expanded = false;
};

/// The status line of a click on an enabled memo's title.
QString scheduleStatusText(int number, const QString &period, const QString &date, const QString &time);
