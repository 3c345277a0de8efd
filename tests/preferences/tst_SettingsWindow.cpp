// SPDX-License-Identifier: MIT
#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/MasterKey.h"
#include "crypto/SecurityKey.h"
#include "platform/Autorun.h"
#include "preferences/SettingsForm.h"
#include "preferences/SettingsWindow.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
class RecordingAutorun final : public Autorun {
public:
    QString RegisterAutorun() override {
        calls.append(QStringLiteral("register"));
        return works ? QString() : failure();
    }
    QString UnregisterAutorun() override {
        calls.append(QStringLiteral("unregister"));
        return works ? QString() : failure();
    }
    static QString failure() { return QStringLiteral("无法创建文件夹/x/autostart"); }
    QStringList calls;
    bool works = true;
};

class RecordingEffects final : public SettingsEffects {
public:
    void transparencyChosen(int index) override {
        calls.append(QStringLiteral("transparency:%1").arg(index));
    }
    void fileBoxSaved(const QString &root, const std::array<QString, 9> &captions,
                      const std::array<QString, 9> &folders) override {
        calls.append(QStringLiteral("filebox:") + root + u'|' + captions[0] + u'|' + folders[0]);
    }
    void userNameSaved(const QString &name) override { calls.append(QStringLiteral("name:") + name); }
    QStringList calls;
};
} // namespace

// Types text into widget one character at a time, as a keyboard would
// (QTest::keyClicks takes Latin-1 only).
void typeInto(QWidget *widget, const QString &text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// The arguments a launcher runs for an Exec value, by the desktop entry
// rules: the string escapes first, then the quoting, then "%%" for "%".
// A value it could not run gives {"<unreadable>"}.
QStringList launchedArguments(const QString &value) {
    const QStringList unreadable{QStringLiteral("<unreadable>")};
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\') {
            unescaped += value[i];
            continue;
        }
        if (++i == value.size())
            return unreadable;
        const int at = QStringLiteral("sntr\\").indexOf(value[i]);
        if (at < 0)
            return unreadable;
        unescaped += QStringLiteral(" \n\t\r\\")[at];
    }
    QStringList arguments;
    qsizetype i = 0;
    while (i < unescaped.size()) {
        if (unescaped[i] == u' ') {
            ++i;
            continue;
        }
        QString argument;
        if (unescaped[i] == u'"') {
            for (++i;; ++i) {
                if (i == unescaped.size())
                    return unreadable;
                if (unescaped[i] == u'"')
                    break;
                if (unescaped[i] == u'\\') {
                    if (++i == unescaped.size() || !QStringLiteral("\"`$\\").contains(unescaped[i]))
                        return unreadable;
                }
                argument += unescaped[i];
            }
            ++i;
        } else {
            for (; i < unescaped.size() && unescaped[i] != u' '; ++i) {
                if (QStringLiteral("\t\n\"'\\><~|&;$*?#()`").contains(unescaped[i]))
                    return unreadable;
                argument += unescaped[i];
            }
        }
        QString expanded;
        for (qsizetype k = 0; k < argument.size(); ++k) {
            if (argument[k] == u'%') {
                if (++k == argument.size() || argument[k] != u'%')
                    return unreadable; // a field code
            }
            expanded += argument[k];
        }
        arguments.append(expanded);
    }
    return arguments;
}

class tst_SettingsWindow : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        QString app = dir.path() + u'/';
        SettingsFile settings{app};
        ProcessValues values;
        RecordingDialogs dialogs;
        RecordingChoosers choosers;
        RecordingShell shell;
        RecordingAutorun autorun;
        RecordingEffects effects;
        SettingsForm form{settings, values, dialogs, choosers, shell, autorun, effects};

        QString read(const char *section, const char *key) const {
            return settings.ReadSetting(QString::fromLatin1(section), QString::fromLatin1(key));
        }
        void write(const char *section, const char *key, const QString &value) {
            settings.WriteSetting(QString::fromLatin1(section), QString::fromLatin1(key), value);
        }
        QString lastMessage() const {
            return dialogs.shown.isEmpty() ? QString() : dialogs.shown.last().text;
        }
    };

private Q_SLOTS:
    void fillsFromOddSettings() {
        Fixture f;
        f.write("SYSTEM", "F_transparent", QStringLiteral("x"));
        f.write("SYSTEM", "S_run", QStringLiteral("Y"));
        f.write("SYSTEM", "S_shutdown", QStringLiteral("garbage"));
        f.write("USERINFO", "U_name", QStringLiteral("小王"));
        f.write("USERINFO", "U_pass", QStringLiteral("secret"));
        f.write("FILEBOX", "FB_path", f.app + QStringLiteral("gone"));
        f.write("FILEBOX", "FB_list", QStringLiteral("公文资料汇总||报表"));
        f.form.FillFromSettings();
        QCOMPARE(f.form.transparency, 0);
        QVERIFY(!f.form.runAtLogon); // only "y"
        QCOMPARE(f.form.shutdownText, QStringLiteral("garbage"));
        QCOMPARE(f.values.ShutdownTime, QString()); // only saving arms the stored time
        QCOMPARE(f.form.userName, QStringLiteral("小王"));
        QCOMPARE(f.values.UserPassword, QStringLiteral("secret"));
        QVERIFY(f.form.passwordText.isEmpty());
        QCOMPARE(f.form.fileBoxPath, SettingsForm::wrongFolderNotice());
        QCOMPARE(f.form.labels[0], QStringLiteral("公文资料"));
        QVERIFY(f.form.labels[1].isEmpty());
        QCOMPARE(f.form.labels[2], QStringLiteral("报表"));
        QVERIFY(f.form.labels[3].isEmpty());

        f.write("FILEBOX", "FB_path", QString());
        f.write("SYSTEM", "F_transparent", QStringLiteral("c"));
        f.form.FillFromSettings();
        QCOMPARE(f.form.fileBoxPath, SettingsForm::noFolderNotice());
        QCOMPARE(f.form.transparency, 2);
        f.write("FILEBOX", "FB_path", f.app);
        f.form.FillFromSettings();
        QCOMPARE(f.form.fileBoxPath, f.app);
    }

    void openingKeepsTheArmedShutdownTime_data() {
        QTest::addColumn<QString>("armed"); // ShutdownTime before opening
        QTest::newRow("armed from the menu") << QStringLiteral("21:15:00");
        QTest::newRow("nothing armed") << QString();
    }
    void openingKeepsTheArmedShutdownTime() {
        QFETCH(QString, armed);
        Fixture f;
        f.write("SYSTEM", "S_shutdown", QStringLiteral("18:00:00"));
        f.values.ShutdownTime = armed;
        {
            SecurityKeyFrame security(f.settings, f.values, f.dialogs);
            SettingsWindow window(f.form, security);
            QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("Text4"))->text(),
                     QStringLiteral("18:00:00"));
        }
        QCOMPARE(f.values.ShutdownTime, armed);
        f.form.FillFromSettings();
        QCOMPARE(f.values.ShutdownTime, armed);
        // Saving the system frame is what replaces it.
        QVERIFY(f.form.saveSystem());
        QCOMPARE(f.values.ShutdownTime, QStringLiteral("18:00:00"));
    }

    void systemFrame_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("saved");
        QTest::newRow("7:30:00 is refused") << QStringLiteral("7:30:00") << false;
        QTest::newRow("07:30:00") << QStringLiteral("07:30:00") << true;
        QTest::newRow("empty switches off") << QString() << true;
        QTest::newRow("24:00:00") << QStringLiteral("24:00:00") << false;
        QTest::newRow("23:59:60") << QStringLiteral("23:59:60") << false;
        QTest::newRow("12:3:456") << QStringLiteral("12:3:456") << false;
        QTest::newRow("1:2:3 PM") << QStringLiteral("1:2:3 PM") << false;
        QTest::newRow("7:30:0PM") << QStringLiteral("7:30:0PM") << false;
        QTest::newRow("00:00:00") << QStringLiteral("00:00:00") << true;
        QTest::newRow("23:59:59") << QStringLiteral("23:59:59") << true;
    }
    void systemFrame() {
        QFETCH(QString, time);
        QFETCH(bool, saved);
        Fixture f;
        f.write("SYSTEM", "S_shutdown", QStringLiteral("18:00:00"));
        f.write("SYSTEM", "F_transparent", QStringLiteral("x"));
        f.form.FillFromSettings();
        f.form.shutdownText = time;
        f.form.runAtLogon = true;
        QCOMPARE(f.form.saveSystem(), saved);
        if (!saved) {
            QCOMPARE(f.dialogs.shown.size(), 1);
            QCOMPARE(f.lastMessage(),
                     QStringLiteral("自动关机时间格式有误！请重填（正确为24小时制，例子：17:30:00）"));
            QCOMPARE(f.read("SYSTEM", "S_shutdown"), QStringLiteral("18:00:00"));
            QVERIFY(f.autorun.calls.isEmpty());
            QVERIFY(f.effects.calls.isEmpty());
            return;
        }
        QCOMPARE(f.read("SYSTEM", "S_shutdown"), time);
        QCOMPARE(f.values.ShutdownTime, time);
        QCOMPARE(f.read("SYSTEM", "S_run"), QStringLiteral("y"));
        QCOMPARE(f.autorun.calls, QStringList{QStringLiteral("register")});
        // An odd level opened on 微透明 and is saved as "a".
        QCOMPARE(f.read("SYSTEM", "F_transparent"), QStringLiteral("a"));
        QCOMPARE(f.effects.calls, QStringList{QStringLiteral("transparency:0")});
        QCOMPARE(f.lastMessage(), QStringLiteral("配置已保存，即刻生效！"));
    }

    void autorunThatCannotBeWrittenIsSaid() {
        Fixture f;
        f.form.FillFromSettings();
        f.autorun.works = false;
        f.form.transparency = 1;
        QVERIFY(f.form.saveSystem());
        QCOMPARE(f.autorun.calls, QStringList{QStringLiteral("unregister")});
        QCOMPARE(f.read("SYSTEM", "S_run"), QStringLiteral("n"));
        QCOMPARE(f.read("SYSTEM", "F_transparent"), QStringLiteral("b"));
        QCOMPARE(f.dialogs.shown.size(), 2);
        QCOMPARE(f.dialogs.shown[0].icon, MessageIcon::Warning);
        QVERIFY(f.dialogs.shown[0].text.endsWith(RecordingAutorun::failure())); // says why
        QCOMPARE(f.lastMessage(), QStringLiteral("配置已保存，即刻生效！"));
    }

    void fileBoxFrame_data() {
        QTest::addColumn<QString>("path"); // "@" is the program folder
        QTest::addColumn<QString>("firstLabel");
        QTest::addColumn<QString>("message");
        QTest::newRow("saved") << QStringLiteral("@box") << QStringLiteral("公文")
                               << QStringLiteral("配置已保存，即刻生效！");
        QTest::newRow("saved, trailing separator")
            << QStringLiteral("@box/") << QStringLiteral("公文") << QStringLiteral("配置已保存，即刻生效！");
        QTest::newRow("an empty label")
            << QStringLiteral("@box") << QString() << QStringLiteral("路径或是标签内容未填完整，请重试！");
        QTest::newRow("the notice is no path") << SettingsForm::noFolderNotice() << QStringLiteral("公文")
                                               << QStringLiteral("路径或是标签内容未填完整，请重试！");
        QTest::newRow("a bar") << QStringLiteral("@box") << QStringLiteral("a|b")
                               << QStringLiteral(
                                      "分类标签不能含有“|”、“/”或“\\”，也不能是“.”或“..”，请重新输入！");
        QTest::newRow("a separator")
            << QStringLiteral("@box") << QStringLiteral("../x")
            << QStringLiteral("分类标签不能含有“|”、“/”或“\\”，也不能是“.”或“..”，请重新输入！");
        QTest::newRow("dot dot") << QStringLiteral("@box") << QStringLiteral("..")
                                 << QStringLiteral(
                                        "分类标签不能含有“|”、“/”或“\\”，也不能是“.”或“..”，请重新输入！");
    }
    void fileBoxFrame() {
        QFETCH(QString, path);
        QFETCH(QString, firstLabel);
        QFETCH(QString, message);
        Fixture f;
        f.form.FillFromSettings();
        f.form.fileBoxPath = path.replace(u'@', f.app);
        f.form.labels = {firstLabel,
                         QStringLiteral("报告"),
                         QStringLiteral("报表"),
                         QStringLiteral("图片"),
                         QStringLiteral("音乐"),
                         QStringLiteral("视频"),
                         QStringLiteral("软件"),
                         QStringLiteral("资料"),
                         QStringLiteral("保险柜")};
        const bool saved = message == QStringLiteral("配置已保存，即刻生效！");
        QCOMPARE(f.form.saveFileBox(), saved);
        QCOMPARE(f.lastMessage(), message);
        if (!saved) {
            QVERIFY(!QFileInfo::exists(f.app + QStringLiteral("box")));
            QVERIFY(f.read("FILEBOX", "FB_list").isEmpty());
            QVERIFY(f.effects.calls.isEmpty());
            return;
        }
        const QString root = f.app + QStringLiteral("box");
        QCOMPARE(f.read("FILEBOX", "FB_path"), path);
        QCOMPARE(f.read("FILEBOX", "FB_list"),
                 QStringLiteral("公文|报告|报表|图片|音乐|视频|软件|资料|保险柜"));
        QVERIFY(QFileInfo(root + QStringLiteral("/保险柜")).isDir());
        QCOMPARE(f.effects.calls, QStringList{QStringLiteral("filebox:") + path + QStringLiteral("|公文|") +
                                              root + QStringLiteral("/公文/")});
    }

    void fileBoxFrameKeepsLabelsThatDidNotDecode_data() {
        QTest::addColumn<QString>("changedLabel"); // empty: saved as filled
        QTest::addColumn<bool>("saved");
        QTest::newRow("saved as filled") << QString() << true;
        QTest::newRow("another label changed") << QStringLiteral("新的") << false;
    }
    void fileBoxFrameKeepsLabelsThatDidNotDecode() {
        QFETCH(QString, changedLabel);
        QFETCH(bool, saved);
        Fixture f;
        QVERIFY(QDir().mkpath(f.app + QStringLiteral("box")));
        // The last label's last byte pairs with nothing: "张" saved as UTF-8.
        const QByteArray list =
            gbk(QStringLiteral("公文|报告|报表|图片|音乐|视频|软件|资料|")) + QString(QChar(u'张')).toUtf8();
        const QByteArray file = "[FILEBOX]\r\nFB_path=" + f.app.toUtf8() + "box\r\nFB_list=" + list + "\r\n";
        writeBytes(f.settings.path(), file);
        f.form.FillFromSettings();
        if (!changedLabel.isEmpty())
            f.form.labels[1] = changedLabel;
        QCOMPARE(f.form.saveFileBox(), saved);
        // The list keeps its bytes either way.
        QCOMPARE(readBytes(f.settings.path()), file);
        if (saved) {
            QCOMPARE(f.lastMessage(), QStringLiteral("配置已保存，即刻生效！"));
            return;
        }
        QCOMPARE(f.dialogs.shown.last().icon, MessageIcon::Warning);
        QVERIFY2(f.lastMessage().contains(QStringLiteral("FB_list")), qPrintable(f.lastMessage()));
        QVERIFY(f.effects.calls.isEmpty()); // the board keeps what the file holds
    }

    void userFrame_data() {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("answer"); // "<cancel>" cancels
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<bool>("saved");
        QTest::newRow("no password yet")
            << QString() << QString() << QStringLiteral(" 小王 ") << QStringLiteral("abc") << true;
        QTest::newRow("old password with blanks") << QStringLiteral("Old1") << QStringLiteral("  Old1 ")
                                                  << QStringLiteral("小王") << QStringLiteral("New2") << true;
        QTest::newRow("wrong old password") << QStringLiteral("Old1") << QStringLiteral("old1")
                                            << QStringLiteral("小王") << QStringLiteral("New2") << false;
        QTest::newRow("cancel counts as wrong") << QStringLiteral("Old1") << QStringLiteral("<cancel>")
                                                << QStringLiteral("小王") << QString() << false;
        QTest::newRow("empty clears the password") << QStringLiteral("Old1") << QStringLiteral("Old1")
                                                   << QStringLiteral("小王") << QString() << true;
        QTest::newRow("empty name") << QString() << QString() << QString() << QStringLiteral("abc") << false;
    }
    void userFrame() {
        QFETCH(QString, oldPassword);
        QFETCH(QString, answer);
        QFETCH(QString, name);
        QFETCH(QString, newPassword);
        QFETCH(bool, saved);
        Fixture f;
        f.write("USERINFO", "U_pass", oldPassword);
        f.form.FillFromSettings();
        if (!oldPassword.isEmpty())
            f.dialogs.inputAnswers.enqueue(
                answer == QStringLiteral("<cancel>") ? std::nullopt : std::optional<QString>(answer));
        f.form.userName = name;
        f.form.passwordText = newPassword;
        QCOMPARE(f.form.saveUser(), saved);
        if (!oldPassword.isEmpty()) {
            QCOMPARE(f.dialogs.shown[0].title, QStringLiteral("【设置密码】"));
            QCOMPARE(f.dialogs.shown[0].text, QStringLiteral("设置用户新密码前，请先输入旧的用户使用密码："));
        }
        if (!saved) {
            QCOMPARE(f.read("USERINFO", "U_pass"), oldPassword);
            QCOMPARE(f.values.UserPassword, oldPassword);
            QVERIFY(f.lastMessage() == QStringLiteral("用户原密码不正确！您不能重新设置新密码！") ||
                    f.lastMessage() == QStringLiteral("用户名不能为空，请重新输入！"));
            return;
        }
        QCOMPARE(f.read("USERINFO", "U_pass"), newPassword);
        QCOMPARE(f.values.UserPassword, newPassword);
        QCOMPARE(f.read("USERINFO", "U_name"), name.trimmed());
        QCOMPARE(f.effects.calls, QStringList{QStringLiteral("name:") + name.trimmed()});
        QCOMPARE(f.dialogs.shown.last().title, QStringLiteral("重要提示"));
        QCOMPARE(f.lastMessage(), QStringLiteral("用户使用密码设置成功！\r\n用户：") + name +
                                      QStringLiteral("\r\n密码：") + newPassword +
                                      QStringLiteral("\r\n请记住您的使用密码！"));
    }

    void clearBackgroundHelpAndLinks() {
        Fixture f;
        f.write("FILEBOX", "FB_pic", f.app + QStringLiteral("bj.jpg"));
        f.form.clearBackground();
        QVERIFY(f.read("FILEBOX", "FB_pic").isEmpty());
        QCOMPARE(f.lastMessage(), QStringLiteral("资料盒子背景图片清除成功，重启软件后生效！"));
        f.form.openHelp(); // no help file: nothing
        writeBytes(f.app + QStringLiteral("软件使用帮助.txt"), "help");
        f.form.openHelp();
        f.form.openLink(SettingsForm::linkAddresses()[1]);
        QStringList expected{QStringLiteral("path:") + f.app + QStringLiteral("软件使用帮助.txt")};
        // A build without a web site has no address, and a link to none opens nothing.
        if (!SettingsForm::linkAddresses()[1].isEmpty())
            expected.append(QStringLiteral("url:") + SettingsForm::linkAddresses()[1]);
        QCOMPARE(f.shell.opened, expected);
    }

    void windowShowsAndSavesItsFrames() {
        Fixture f;
        f.values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
        f.write("FILEBOX", "FB_list",
                QStringLiteral("公文资料汇总|报告|报表|图片|音乐|视频|软件|资料|保险柜"));
        f.write("FILEBOX", "FB_path", f.app + QStringLiteral("box"));
        f.write("SYSTEM", "F_transparent", QStringLiteral("b"));
        QDir().mkpath(f.app + QStringLiteral("box"));
        SecurityKeyFrame security(f.settings, f.values, f.dialogs);
        SettingsWindow window(f.form, security);
        QCOMPARE(window.windowTitle(), QStringLiteral("软件设置"));
        QVERIFY(window.findChild<QRadioButton *>(QStringLiteral("Option1(1)"))->isChecked());
        auto *label = window.findChild<QLineEdit *>(QStringLiteral("Text2(1)"));
        QCOMPARE(label->text(), QStringLiteral("公文资料")); // a 6-character label shows 4
        QVERIFY(window.findChild<QLineEdit *>(QStringLiteral("Text2(0)"))->isReadOnly());

        // Key filters: the time box takes digits and ":", the password box the key characters.
        auto *time = window.findChild<QLineEdit *>(QStringLiteral("Text4"));
        QTest::keyClicks(time, QStringLiteral("1a7:3x0:00"));
        QCOMPARE(time->text(), QStringLiteral("17:30:00"));
        auto *password = window.findChild<QLineEdit *>(QStringLiteral("Text3(1)"));
        typeInto(password, QStringLiteral("ab c#é中9"));
        QCOMPARE(password->text(), QStringLiteral("abc#9"));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(password->maxLength(), 16);

        window.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
        QCOMPARE(f.read("SYSTEM", "S_shutdown"), QStringLiteral("17:30:00"));
        QCOMPARE(f.read("SYSTEM", "F_transparent"), QStringLiteral("b"));
        window.findChild<QPushButton *>(QStringLiteral("Command3(2)"))->click();
        QCOMPARE(f.read("FILEBOX", "FB_list"),
                 QStringLiteral("公文资料|报告|报表|图片|音乐|视频|软件|资料|保险柜"));

        // The security frame: no key yet, so both boxes and saving are open.
        auto *key = window.findChild<QLineEdit *>(QStringLiteral("Text1(0)"));
        auto *answer = window.findChild<QLineEdit *>(QStringLiteral("Text1(1)"));
        auto *saveKey = window.findChild<QPushButton *>(QStringLiteral("Command1(1)"));
        QVERIFY(key->isEnabled() && answer->isEnabled() && saveKey->isEnabled());
        QTest::keyClicks(key, QStringLiteral("Key123456789X"));
        QCOMPARE(key->text(), QStringLiteral("Key123456789")); // twelve at most
        QTest::keyClicks(answer, QStringLiteral("ans1"));
        saveKey->click();
        QVERIFY(!key->isEnabled() && !saveKey->isEnabled());
        QCOMPARE(VerifySecurityKey(f.settings, f.values.MasterKey, QStringLiteral("Key123456789")), 0);
    }

    void keyBoxesFilterPastesAndInputMethods() {
        Fixture f;
        f.values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
        SecurityKeyFrame security(f.settings, f.values, f.dialogs);
        SettingsWindow window(f.form, security);
        auto *key = window.findChild<QLineEdit *>(QStringLiteral("Text1(0)"));
        auto *answer = window.findChild<QLineEdit *>(QStringLiteral("Text1(1)"));
        auto *password = window.findChild<QLineEdit *>(QStringLiteral("Text3(1)"));
        const auto commit = [](QLineEdit *box, const QString &text) {
            QInputMethodEvent event;
            event.setCommitString(text);
            QApplication::sendEvent(box, &event);
        };
        key->insert(QStringLiteral(" Key 中12\t34 ")); // a paste
        commit(key, QStringLiteral("中"));
        QCOMPARE(key->text(), QStringLiteral("Key1234"));
        key->insert(QStringLiteral("|56789XYZ"));
        QCOMPARE(key->text(), QStringLiteral("Key123456789")); // twelve at most, counted after the filter
        password->insert(QStringLiteral("ab c中9"));
        QCOMPARE(password->text(), QStringLiteral("abc9"));
        // The answer may hold Chinese, as the note under it invites.
        commit(answer, QStringLiteral("春夏"));
        answer->insert(QStringLiteral("| 秋冬"));
        QCOMPARE(answer->text(), QStringLiteral("春夏秋冬"));

        // Chinese answer and twelve key characters do not fit the stored block.
        window.findChild<QPushButton *>(QStringLiteral("Command1(1)"))->click();
        QVERIFY(f.lastMessage().contains(QStringLiteral("缩短4位")));
        QVERIFY(key->isEnabled());
        QCOMPARE(f.read("SYSTEM", "S_key"), QString());
    }

    void autostartEntryKeepsEveryFolderName_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("written"); // false: refused, with a reason
        QTest::newRow("line feed") << QStringLiteral("/home/u/a\nExec=sh -c evil") << true;
        QTest::newRow("carriage return") << QStringLiteral("/home/u/a\rHidden=true") << true;
        QTest::newRow("tab") << QStringLiteral("/home/u/a\tb") << true;
        QTest::newRow("double quote") << QStringLiteral("/home/u/a\" \"b") << true;
        QTest::newRow("back quote") << QStringLiteral("/home/u/`reboot`") << true;
        QTest::newRow("dollar") << QStringLiteral("/home/u/$(reboot)$HOME") << true;
        QTest::newRow("backslash") << QStringLiteral("/home/u/a\\\"b\\") << true;
        QTest::newRow("percent") << QStringLiteral("/home/u/100%f%%") << true;
        QTest::newRow("all at once") << QStringLiteral("/home/u/\n\r\t\"`$\\% 便笺") << true;
        QTest::newRow("non-UTF-8 byte") << QFile::decodeName("/home/u/a\xff/b") << false;
        QTest::newRow("other control character") << QStringLiteral("/home/u/a\x1b[2Jb") << false;
    }
    void autostartEntryKeepsEveryFolderName() {
        QFETCH(QString, folder);
        QFETCH(bool, written);
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const QString program = QStringLiteral("/opt/tackora/bin/tackora");
        XdgAutorun autorun(program, folder);
        const QString path = autorun.entryPath();
        const QString error = autorun.RegisterAutorun();
        qunsetenv("XDG_CONFIG_HOME");
        if (!written) {
            QVERIFY(error.contains(QStringLiteral("无法记下的字符")));
            QVERIFY(!QFileInfo::exists(path));
            return;
        }
        QCOMPARE(error, QString());
        // Read back as a launcher reads it: one key a line, no control
        // character but the line ends, and the Exec value gives the arguments.
        const QString entry = QString::fromUtf8(readBytes(path));
        QStringList keys;
        QString exec;
        for (const QString &line : entry.split(u'\n', Qt::SkipEmptyParts)) {
            for (const QChar c : line)
                QVERIFY2(c.unicode() >= 0x20 && c.unicode() != 0x7F, qPrintable(line));
            keys.append(line.section(u'=', 0, 0));
            if (line.startsWith(QStringLiteral("Exec=")))
                exec = line.mid(5);
        }
        QCOMPARE(keys,
                 (QStringList{QStringLiteral("[Desktop Entry]"), QStringLiteral("Type"),
                              QStringLiteral("Name"), QStringLiteral("Exec"), QStringLiteral("Terminal"),
                              QStringLiteral("Hidden"), QStringLiteral("X-GNOME-Autostart-enabled")}));
        QCOMPARE(launchedArguments(exec), (QStringList{program, QStringLiteral("--home"), folder}));
    }

    void xdgAutostartEntry() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        // A portable copy: the program takes its own folder by itself.
        const QString bin = config.filePath(QStringLiteral("tackora app/bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString program = bin + QStringLiteral("/tackora");
        XdgAutorun beside(program, bin + u'/');
        QCOMPARE(beside.entryPath(), config.path() + QStringLiteral("/autostart/tackora.desktop"));
        QCOMPARE(beside.execLine(), u'"' + program + u'"');
        QCOMPARE(beside.RegisterAutorun(), QString());
        QCOMPARE(beside.RegisterAutorun(), QString()); // twice: still one entry
        QCOMPARE(QDir(config.path() + QStringLiteral("/autostart")).entryList(QDir::Files),
                 QStringList{QStringLiteral("tackora.desktop")});
        QString entry = QString::fromUtf8(readBytes(beside.entryPath()));
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(entry.contains(QStringLiteral("\nExec=\"") + program + QStringLiteral("\"\n")));
        QVERIFY(entry.contains(QStringLiteral("\nHidden=false\n")));

        QCOMPARE(beside.UnregisterAutorun(), QString()); // kept, switched off
        entry = QString::fromUtf8(readBytes(beside.entryPath()));
        QVERIFY(entry.contains(QStringLiteral("\nHidden=true\n")));
        QVERIFY(entry.contains(QStringLiteral("\nX-GNOME-Autostart-enabled=false\n")));

        XdgAutorun elsewhere(program, QStringLiteral("/home/u/我的 $便笺%/"));
        QCOMPARE(elsewhere.execLine(),
                 u'"' + program + QStringLiteral("\" --home \"/home/u/我的 \\\\$便笺%%\""));

        // Installed: the program takes XDG_DATA_HOME/tackora by itself, never its bin folder.
        const QString prefix = config.filePath(QStringLiteral("usr"));
        QVERIFY(QDir().mkpath(prefix + QStringLiteral("/bin")));
        QVERIFY(QDir().mkpath(prefix + QStringLiteral("/share/tackora")));
        qputenv("XDG_DATA_HOME", config.filePath(QStringLiteral("data")).toUtf8());
        const QString installed = prefix + QStringLiteral("/bin/tackora");
        QCOMPARE(XdgAutorun(installed, config.filePath(QStringLiteral("data/tackora/"))).execLine(),
                 u'"' + installed + u'"');
        QCOMPARE(XdgAutorun(installed, prefix + QStringLiteral("/bin/")).execLine(),
                 u'"' + installed + QStringLiteral("\" --home \"") + prefix + QStringLiteral("/bin\""));
        qunsetenv("XDG_DATA_HOME");

        // A folder that cannot be made: the failure is reported.
        writeBytes(config.path() + QStringLiteral("/blocked"), "a file");
        qputenv("XDG_CONFIG_HOME", (config.path() + QStringLiteral("/blocked")).toUtf8());
        QVERIFY(!beside.RegisterAutorun().isEmpty());
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_MAIN(tst_SettingsWindow)
#include "tst_SettingsWindow.moc"
