// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// The master key that seals the security key and the data files, built from
/// the program's two resource texts: each character of baseText is shifted by
/// an amount taken from the sum of keyText's character codes (ANSI codes: a
/// GBK character's two bytes form one code). A code that is no character of
/// the code page drops out.
QString BuildMasterKey(const QString &baseText, const QString &keyText);

/// String resource 101, the base text of the master key.
QString masterKeyBaseText();
/// String resource 102, the key text of the master key.
QString masterKeyKeyText();
