// SPDX-License-Identifier: MIT
#pragma once

#include "memos/MemoEditorForm.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTextEdit;

/// The memo editor "便笺 (ALT+F4关闭)": the body on top, the fields below. In
/// view mode the window shows the body alone, read-only. The
/// window mirrors MemoEditorForm, which does the loading and saving.
class MemoEditorWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemoEditorWindow)
public:
    MemoEditorWindow(const SettingsFile &settings, UserDialogs &dialogs, Balloons *balloons, int number,
                     bool viewMode, const QString &colourText, QWidget *parent = nullptr);

    MemoEditorForm &form() { return m_form; }
    /// The day a lunar memo's next day is reckoned from (today unless set).
    void setToday(const QDate &day);
    QTextEdit *body() const { return m_body; }
    /// Runs the save button.
    void save();
    /// Runs the clear button: the body is emptied as one undoable step.
    void clearBody();
    /// The view of a memo that fell due: "稍后提醒" with 5, 10 and 30 minutes
    /// on a strip below the body (Alt+5, Alt+0, Alt+3); a choice closes it.
    void offerSnooze();

Q_SIGNALS:
    /// A record was stored: the board reloads its memos.
    void saved();
    /// "稍后提醒": announce this memo again minutes from now.
    void snoozeChosen(int minutes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showForm();
    void takeFields();
    void applyPeriod();
    void showLunarNote();

    MemoEditorForm m_form;
    QGroupBox *m_contentFrame = nullptr;
    QTextEdit *m_body = nullptr;
    std::array<QLineEdit *, 6> m_boxes{};
    QCheckBox *m_enabled = nullptr;
    std::array<QRadioButton *, 5> m_periods{};
    QGroupBox *m_fieldFrame = nullptr;
    QCheckBox *m_lunar = nullptr;
    QCheckBox *m_leapMonth = nullptr;
};
