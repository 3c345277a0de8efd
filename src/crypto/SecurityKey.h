// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class SettingsFile;
class UserDialogs;
struct ProcessValues;

/// The characters a security key and its recovery answer may hold.
QString AllowedKeyChars();
/// The key filter of the key and answer boxes: allowed characters, backspace
/// and Enter pass.
bool isAcceptedKeyCharacter(QChar c);
/// The answer box also takes Chinese characters, as its note invites: any Han
/// character of the ANSI code page (two bytes each).
bool isAcceptedAnswerCharacter(QChar c);
/// Answer and key are sealed as one cipher block: their ANSI bytes together
/// must fit it, or the stored S_key grows past the length every check expects.
constexpr int kMostSecurityTextBytes = 16;

/// 0: typed is the stored security key; 1: no usable key is stored; 2: typed
/// is wrong.
int VerifySecurityKey(const SettingsFile &settings, const QString &masterKey, const QString &typed);
/// The same against S_key as read from setup.ini (storedSecurityKey).
int VerifyStoredSecurityKey(const QString &storedKey, const QString &masterKey, const QString &typed);
QString storedSecurityKey(const SettingsFile &settings);

/// The security text (answer followed by key) unsealed from a stored S_key,
/// cut at its first NUL; empty when none can be had.
QString SecurityTextOf(const QString &storedKey, const QString &masterKey);

/// The security frame "[加密解密]" of the settings window without its widgets:
/// the two boxes, which controls are enabled, and what saving and recovering
/// do, with their messages. The window mirrors it.
class SecurityKeyFrame final {
public:
    SecurityKeyFrame(const SettingsFile &settings, ProcessValues &values, UserDialogs &dialogs);

    /// The opening state: a stored key leaves only the answer box (and
    /// recovery) open; no key opens both boxes and saving.
    void FillFromSettings();

    /// "保存配置". True when the key was stored. The whole texts are checked,
    /// whatever way they arrived (typed, pasted, an input method, the CLI).
    bool save();
    /// "找回密匙". True when the answer was right (the key box then shows the key).
    bool recover();

    QString keyText;
    QString answerText;
    bool keyEnabled = false;
    bool answerEnabled = false;
    bool saveEnabled = false;
    bool recoverEnabled = true;

private:
    /// Why keyText and answerText cannot be stored, or empty.
    QString refusal() const;

    const SettingsFile &m_settings;
    ProcessValues &m_values;
    UserDialogs &m_dialogs;
};
