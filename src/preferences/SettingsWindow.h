// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SecurityKeyFrame;
class SettingsForm;

/// Q_SETUP, "软件设置": five frames, each saved on its own. It mirrors
/// SettingsForm and the security frame.
class SettingsWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsWindow)
public:
    SettingsWindow(SettingsForm &form, SecurityKeyFrame &security, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildSystemFrame();
    QWidget *buildFileBoxFrame();
    QWidget *buildUserFrame();
    QWidget *buildSecurityFrame();
    QWidget *buildAboutFrame();
    void pull();
    void push();
    void pushSecurity();

    SettingsForm &m_form;
    SecurityKeyFrame &m_security;
    QCheckBox *m_runAtLogon = nullptr;
    QRadioButton *m_transparency[3] = {};
    QLineEdit *m_shutdown = nullptr;
    QLineEdit *m_fileBox[10] = {};
    QLineEdit *m_user[2] = {};
    QLineEdit *m_securityBoxes[2] = {};
    QPushButton *m_securitySave = nullptr;
    QPushButton *m_securityRecover = nullptr;
    QLabel *m_links[3] = {};
};
