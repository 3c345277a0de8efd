// SPDX-License-Identifier: MIT
#include "preferences/SettingsWindow.h"

#include "common/CharacterFilter.h"
#include "crypto/SecurityKey.h"
#include "preferences/SettingsForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace {
QPushButton *button(QWidget *parent, const QString &name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *lineEdit(QWidget *parent, const QString &name, int maxLength) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

// The key filter for whatever arrives, typed, pasted or from an input method.
// The filter keeps the limit: the box would cut a paste before filtering it.
QLineEdit *filteredLineEdit(QWidget *parent, const QString &name, int maxLength, bool (*accepts)(QChar)) {
    auto *edit = lineEdit(parent, name, 0);
    edit->setValidator(new CharacterFilter(accepts, maxLength, edit));
    return edit;
}

QLabel *note(QWidget *parent, const QString &name, const QString &text) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}
} // namespace

SettingsWindow::SettingsWindow(SettingsForm &form, SecurityKeyFrame &security, QWidget *parent)
    : QDialog(parent)
    , m_form(form)
    , m_security(security) {
    setObjectName(QStringLiteral("Q_SETUP"));
    setWindowTitle(QStringLiteral("软件设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QGridLayout(this);
    layout->addWidget(buildSystemFrame(), 0, 0);
    layout->addWidget(buildUserFrame(), 1, 0);
    layout->addWidget(buildAboutFrame(), 2, 0);
    layout->addWidget(buildFileBoxFrame(), 0, 1, 2, 1);
    layout->addWidget(buildSecurityFrame(), 2, 1);

    m_security.FillFromSettings();
    m_form.FillFromSettings();
    push();
    pushSecurity();
}

QWidget *SettingsWindow::buildSystemFrame() {
    auto *frame = new QGroupBox(QStringLiteral("[系统]"), this);
    auto *grid = new QGridLayout(frame);
    m_runAtLogon = new QCheckBox(QStringLiteral("软件随系统启动自动运行"), frame);
    m_runAtLogon->setObjectName(QStringLiteral("Check1"));
    grid->addWidget(m_runAtLogon, 0, 0, 1, 3);
    const QString levels[3] = {QStringLiteral("窗体微透明"), QStringLiteral("窗体半透明"),
                               QStringLiteral("窗体全透明")};
    for (int i = 0; i < 3; ++i) {
        m_transparency[i] = new QRadioButton(levels[i], frame);
        m_transparency[i]->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        grid->addWidget(m_transparency[i], 1, i);
    }
    grid->addWidget(new QLabel(QStringLiteral("设自动关机时间"), frame), 2, 0);
    m_shutdown = lineEdit(frame, QStringLiteral("Text4"), 8);
    m_shutdown->installEventFilter(this);
    grid->addWidget(m_shutdown, 2, 1);
    QPushButton *save = button(frame, QStringLiteral("Command2"), QStringLiteral("保存配置"));
    grid->addWidget(save, 2, 2);
    connect(save, &QPushButton::clicked, this, [this] {
        pull();
        m_form.saveSystem();
    });
    return frame;
}

QWidget *SettingsWindow::buildFileBoxFrame() {
    auto *frame = new QGroupBox(QStringLiteral("[资料盒子]"), this);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("储存路径："), frame), 0, 0);
    m_fileBox[0] = lineEdit(frame, QStringLiteral("Text2(0)"), 0);
    m_fileBox[0]->setReadOnly(true);
    grid->addWidget(m_fileBox[0], 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("分类标签："), frame), 1, 0);
    for (int i = 1; i <= 9; ++i) {
        m_fileBox[i] = lineEdit(frame, QStringLiteral("Text2(%1)").arg(i), 4);
        m_fileBox[i]->setMouseTracking(true);
        m_fileBox[i]->installEventFilter(this);
        grid->addWidget(m_fileBox[i], 1 + (i - 1) / 3, 1 + (i - 1) % 3);
    }
    QPushButton *choose = button(frame, QStringLiteral("Command3(0)"), QStringLiteral("选择"));
    QPushButton *clear = button(frame, QStringLiteral("Command3(1)"), QStringLiteral("清除背景"));
    QPushButton *save = button(frame, QStringLiteral("Command3(2)"), QStringLiteral("保存配置"));
    grid->addWidget(choose, 4, 1);
    grid->addWidget(clear, 4, 2);
    grid->addWidget(save, 4, 3);
    connect(choose, &QPushButton::clicked, this, [this] {
        pull();
        m_form.chooseFileBoxFolder(this);
        push();
    });
    connect(clear, &QPushButton::clicked, this, [this] { m_form.clearBackground(); });
    connect(save, &QPushButton::clicked, this, [this] {
        pull();
        m_form.saveFileBox();
    });
    return frame;
}

QWidget *SettingsWindow::buildUserFrame() {
    auto *frame = new QGroupBox(QStringLiteral("[用户]"), this);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("用户姓名："), frame), 0, 0);
    m_user[0] = lineEdit(frame, QStringLiteral("Text3(0)"), 0);
    grid->addWidget(m_user[0], 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("使用密码："), frame), 1, 0);
    m_user[1] = filteredLineEdit(frame, QStringLiteral("Text3(1)"), 16, isAcceptedKeyCharacter);
    m_user[1]->setMaxLength(16); // kept as the box's own limit too
    m_user[1]->setEchoMode(QLineEdit::Password);
    m_user[1]->setToolTip(QStringLiteral("密码最长16位"));
    m_user[1]->installEventFilter(this);
    grid->addWidget(m_user[1], 1, 1);
    QPushButton *save = button(frame, QStringLiteral("Command4"), QStringLiteral("保存配置"));
    grid->addWidget(save, 2, 1);
    connect(save, &QPushButton::clicked, this, [this] {
        pull();
        m_form.saveUser();
    });
    return frame;
}

QWidget *SettingsWindow::buildSecurityFrame() {
    auto *frame = new QGroupBox(QStringLiteral("[加密解密]"), this);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(note(frame, QStringLiteral("Label1(0)"), QStringLiteral("安全密匙：")), 0, 0);
    grid->addWidget(note(frame, QStringLiteral("Label1(1)"), QStringLiteral("找回密匙答案：")), 2, 0);
    m_securityBoxes[0] = filteredLineEdit(frame, QStringLiteral("Text1(0)"), 12, isAcceptedKeyCharacter);
    m_securityBoxes[0]->setToolTip(QStringLiteral("长度6-12,区分大小写"));
    m_securityBoxes[1] = filteredLineEdit(frame, QStringLiteral("Text1(1)"), 4, isAcceptedAnswerCharacter);
    m_securityBoxes[1]->setToolTip(QStringLiteral("长度4位"));
    for (QLineEdit *box : m_securityBoxes) {
        box->installEventFilter(this);
        box->setEnabled(false);
    }
    grid->addWidget(m_securityBoxes[0], 0, 1);
    grid->addWidget(m_securityBoxes[1], 2, 1);
    grid->addWidget(
        note(frame, QStringLiteral("Label2(0)"),
             QStringLiteral("*由6-12位字母、数字或符号组成，主要用于加密解密文件，设置后请勿修改或删除，"
                            "否则用此密匙加密过的文件将无法解密。")),
        1, 0, 1, 3);
    grid->addWidget(
        note(frame, QStringLiteral("Label2(1)"),
             QStringLiteral(
                 "*为防遗忘密匙，需同时设置找回答案，为4位数字、字母或汉字组合。请设置您难忘的答案，"
                 "可以是纪念日、手机尾号、或是一句成语。")),
        3, 0, 1, 3);
    m_securityRecover = button(frame, QStringLiteral("Command1(0)"), QStringLiteral("找回密匙"));
    m_securitySave = button(frame, QStringLiteral("Command1(1)"), QStringLiteral("保存配置"));
    m_securitySave->setEnabled(false);
    grid->addWidget(m_securityRecover, 0, 2);
    grid->addWidget(m_securitySave, 2, 2);
    const auto pullSecurity = [this] {
        m_security.keyText = m_securityBoxes[0]->text();
        m_security.answerText = m_securityBoxes[1]->text();
    };
    connect(m_securitySave, &QPushButton::clicked, this, [this, pullSecurity] {
        pullSecurity();
        m_security.save();
        pushSecurity();
    });
    connect(m_securityRecover, &QPushButton::clicked, this, [this, pullSecurity] {
        pullSecurity();
        m_security.recover();
        pushSecurity();
    });
    return frame;
}

QWidget *SettingsWindow::buildAboutFrame() {
    auto *frame = new QGroupBox(QStringLiteral("[关于软件]"), this);
    auto *grid = new QGridLayout(frame);
    QPushButton *help = button(frame, QStringLiteral("Command5"), QStringLiteral("使用帮助"));
    grid->addWidget(help, 0, 0);
    connect(help, &QPushButton::clicked, this, [this] { m_form.openHelp(); });
    const QString captions[3] = {QStringLiteral("主页"), QStringLiteral("更新"), QStringLiteral("游戏")};
    const QStringList addresses = SettingsForm::linkAddresses();
    for (int i = 0; i < 3; ++i) {
        m_links[i] = new QLabel(u'[' + captions[i] + u']', frame);
        m_links[i]->setObjectName(QStringLiteral("ImgWeb(%1)").arg(i));
        m_links[i]->setToolTip(addresses[i]);
        m_links[i]->setVisible(!addresses[i].isEmpty()); // no web site, no link
        m_links[i]->setCursor(Qt::PointingHandCursor);
        m_links[i]->installEventFilter(this);
        grid->addWidget(m_links[i], 0, 1 + i);
    }
    return frame;
}

void SettingsWindow::pull() {
    for (int i = 0; i < 3; ++i) {
        if (m_transparency[i]->isChecked())
            m_form.transparency = i;
    }
    m_form.runAtLogon = m_runAtLogon->isChecked();
    m_form.shutdownText = m_shutdown->text();
    m_form.fileBoxPath = m_fileBox[0]->text();
    for (int i = 0; i < 9; ++i)
        m_form.labels[i] = m_fileBox[i + 1]->text();
    m_form.userName = m_user[0]->text();
    m_form.passwordText = m_user[1]->text();
}

void SettingsWindow::push() {
    m_transparency[m_form.transparency]->setChecked(true);
    m_runAtLogon->setChecked(m_form.runAtLogon);
    m_shutdown->setText(m_form.shutdownText);
    m_fileBox[0]->setText(m_form.fileBoxPath);
    for (int i = 0; i < 9; ++i)
        m_fileBox[i + 1]->setText(m_form.labels[i]);
    m_user[0]->setText(m_form.userName);
    m_user[1]->setText(m_form.passwordText);
}

void SettingsWindow::pushSecurity() {
    m_securityBoxes[0]->setText(m_security.keyText);
    m_securityBoxes[0]->setEnabled(m_security.keyEnabled);
    m_securityBoxes[1]->setEnabled(m_security.answerEnabled);
    m_securitySave->setEnabled(m_security.saveEnabled);
    m_securityRecover->setEnabled(m_security.recoverEnabled);
}

bool SettingsWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (text.size() == 1 && text[0].isPrint()) {
            const QChar c = text[0];
            const bool timeBox = watched == m_shutdown;
            const bool keyBox = watched == m_user[1] || watched == m_securityBoxes[0];
            const bool answerBox = watched == m_securityBoxes[1];
            if ((timeBox && !SettingsForm::isShutdownTimeCharacter(c)) ||
                (keyBox && !isAcceptedKeyCharacter(c)) || (answerBox && !isAcceptedAnswerCharacter(c)))
                return true; // discarded
        }
    } else if (event->type() == QEvent::MouseMove) {
        for (int i = 1; i <= 9; ++i) {
            if (watched == m_fileBox[i])
                m_fileBox[i]->setToolTip(m_fileBox[i]->text());
        }
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        for (QLabel *link : m_links) {
            if (watched == link)
                m_form.openLink(link->toolTip());
        }
    }
    return QDialog::eventFilter(watched, event);
}
