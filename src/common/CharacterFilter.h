// SPDX-License-Identifier: MIT
#pragma once

#include <QValidator>

#include <functional>

/// Keeps only the characters a text box accepts, whichever way they arrive:
/// typed, pasted, dropped or committed by an input method. Control keys
/// (Tab, Ctrl+C, Ctrl+Z ...) are never touched, since they add no text.
/// Full-width digits and signs, as a Chinese input method in full-width mode
/// types them, count as their ASCII forms.
class CharacterFilter final : public QValidator {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CharacterFilter)
public:
    /// maxLength: the box's limit, kept here because QLineEdit would cut a
    /// paste to its limit before the filter could drop what it refuses.
    CharacterFilter(std::function<bool(QChar)> accepts, int maxLength, QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;

    /// The ASCII form of a full-width character, the character itself else.
    static QChar narrow(QChar c);

private:
    std::function<bool(QChar)> m_accepts;
    int m_maxLength;
};
