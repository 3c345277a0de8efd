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
    QTextEdit *body() const { return m_body; }
    /// Runs the save button.
    void save();
    /// Runs the clear button: the body is emptied as one undoable step.
    void clearBody();

Q_SIGNALS:
    /// A record was stored: the board reloads its memos.
    void saved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showForm();
    void takeFields();
    void applyPeriod();

    MemoEditorForm m_form;
    QGroupBox *m_contentFrame = nullptr;
    QTextEdit *m_body = nullptr;
    std::array<QLineEdit *, 6> m_boxes{};
    QCheckBox *m_enabled = nullptr;
    std::array<QRadioButton *, 5> m_periods{};
};
