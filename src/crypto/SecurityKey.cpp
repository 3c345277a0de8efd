// SPDX-License-Identifier: MIT
#include "crypto/SecurityKey.h"

#include "common/AnsiCodec.h"
#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsFile.h"

namespace {
const QString kSystem = QStringLiteral("SYSTEM");
const QString kKey = QStringLiteral("S_key");
constexpr int kStoredLength = 32;
constexpr int kMostWrongAnswers = 3;
} // namespace

QString AllowedKeyChars() {
    return QStringLiteral("1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.~!@#$%^&*()-_+=");
}

bool isAcceptedKeyCharacter(QChar c) {
    return c == QChar(8) || c == QChar(13) || AllowedKeyChars().contains(c);
}

bool isAcceptedAnswerCharacter(QChar c) {
    if (isAcceptedKeyCharacter(c))
        return true;
    if (c.script() != QChar::Script_Han)
        return false;
    const QByteArray bytes = AnsiCodec::encode(QStringView(&c, 1));
    return bytes.size() == 2 && AnsiCodec::decode(bytes) == QString(c);
}

QString SecurityTextOf(const QString &storedKey, const QString &masterKey) {
    if (storedKey.size() != kStoredLength)
        return QString();
    return TrimAtNul(DecryptString(storedKey, masterKey));
}

QString storedSecurityKey(const SettingsFile &settings) {
    return settings.ReadSetting(kSystem, kKey);
}

int VerifyStoredSecurityKey(const QString &storedKey, const QString &masterKey, const QString &typed) {
    if (storedKey.size() != kStoredLength)
        return 1;
    return SecurityTextOf(storedKey, masterKey).mid(4) == typed ? 0 : 2;
}

int VerifySecurityKey(const SettingsFile &settings, const QString &masterKey, const QString &typed) {
    return VerifyStoredSecurityKey(storedSecurityKey(settings), masterKey, typed);
}

SecurityKeyFrame::SecurityKeyFrame(const SettingsFile &settings, ProcessValues &values, UserDialogs &dialogs)
    : m_settings(settings)
    , m_values(values)
    , m_dialogs(dialogs) {}

void SecurityKeyFrame::FillFromSettings() {
    const QString stored = m_settings.ReadSetting(kSystem, kKey);
    if (stored.size() == kStoredLength) {
        keyEnabled = false;
        answerEnabled = true;
        saveEnabled = false;
    } else {
        keyEnabled = true;
        answerEnabled = true;
        saveEnabled = true;
    }
}

QString SecurityKeyFrame::refusal() const {
    if (keyText.size() < 6 || keyText.size() > 12)
        return QStringLiteral("密匙长度应为6-12位，且区分大小写，请重新输入！");
    if (answerText.size() != 4)
        return QStringLiteral("找回密匙答案长度应为4位，请重新输入！");
    const auto shown = [](QChar c) {
        return c.isPrint() ? QString(c)
                           : QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    };
    QString symbols;
    for (const QChar c : AllowedKeyChars()) {
        if (!c.isLetterOrNumber())
            symbols += c;
    }
    for (const QChar c : keyText) {
        if (!AllowedKeyChars().contains(c))
            return QStringLiteral("密匙只能由字母、数字和符号%1组成，不能含有“%2”，请重新输入！")
                .arg(symbols, shown(c));
    }
    for (const QChar c : answerText) {
        if (c == QChar(8) || c == QChar(13) || !isAcceptedAnswerCharacter(c))
            return QStringLiteral(
                       "找回密匙答案只能由字母、数字、汉字和符号%1组成，不能含有“%2”，请重新输入！")
                .arg(symbols, shown(c));
    }
    const qsizetype bytes = AnsiCodec::encode(answerText + keyText).size();
    if (bytes > kMostSecurityTextBytes)
        return QStringLiteral(
                   "找回密匙答案与密匙合计不能超过%1字节（一个汉字占2字节），现为%2字节：请将密匙缩短%3位，"
                   "或在答案中少用汉字！")
            .arg(kMostSecurityTextBytes)
            .arg(bytes)
            .arg(bytes - kMostSecurityTextBytes);
    return QString();
}

bool SecurityKeyFrame::save() {
    if (const QString refused = refusal(); !refused.isEmpty()) {
        m_dialogs.message(refused, QStringLiteral("提示"), MessageIcon::Warning);
        return false;
    }
    const QString sealed = EncryptString(answerText + keyText, m_values.MasterKey);
    if (!m_settings.WriteSetting(kSystem, kKey, sealed)) {
        // Telling the user the key is set while it is not would lose files later.
        m_dialogs.message(QStringLiteral("无法写入设置文件，安全密匙未保存！"), QStringLiteral("错误提示"),
                          MessageIcon::Critical);
        return false;
    }
    keyEnabled = false;
    recoverEnabled = true;
    saveEnabled = false;
    m_values.SecurityKey = sealed;
    m_dialogs.message(
        QStringLiteral("密匙设置成功！\r\n密匙：") + keyText + QStringLiteral("\r\n答案：") + answerText +
            QStringLiteral("\r\n请牢牢记住您的密匙以及取回密匙的答案！\r\n——避免因遗忘密匙而给您带来损失！"),
        QStringLiteral("重要提示"), MessageIcon::Information);
    return true;
}

bool SecurityKeyFrame::recover() {
    if (m_values.WrongAnswers >= kMostWrongAnswers) {
        m_dialogs.message(QStringLiteral("取回密匙答案错误超过3次，下次想好了再来试吧！"),
                          QStringLiteral("安全警告"), MessageIcon::Critical);
        return false;
    }
    if (answerText.size() != 4) {
        m_dialogs.message(QStringLiteral("取回密匙答案长度应为4位，请重新输入！"), QStringLiteral("错误提示"),
                          MessageIcon::Warning);
        return false;
    }
    const QString stored = m_settings.ReadSetting(kSystem, kKey);
    if (stored.size() != kStoredLength) {
        m_settings.WriteSetting(kSystem, kKey, QString());
        m_dialogs.message(QStringLiteral("密匙为空或错误的格式！"), QStringLiteral("错误提示"),
                          MessageIcon::Warning);
        return false;
    }
    const QString securityText = DecryptString(stored, m_values.MasterKey);
    if (securityText.left(4) == answerText) {
        keyText = TrimAtNul(securityText.mid(4));
        keyEnabled = true;
        saveEnabled = true;
        m_values.WrongAnswers = 0;
        m_values.SecurityKey = stored;
        return true;
    }
    ++m_values.WrongAnswers;
    m_dialogs.message(QStringLiteral("答案不正确！已尝试") + QString::number(m_values.WrongAnswers) +
                          QStringLiteral("次，最多只能错3次！"),
                      QStringLiteral("安全警告"), MessageIcon::Critical);
    saveEnabled = false;
    return false;
}
