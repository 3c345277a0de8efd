// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// The maintenance tool that seals a text file into a ".dll" under the
/// master key and unseals it again, checking a size stamp it wrote into the
/// text file's CHECK section.
namespace DataFilePacker {

/// notes.txt → notes.dll; notes.dll → notes.txt.
QString sealedPathOf(const QString &textFile);
QString unsealedPathOf(const QString &sealedFile);

/// Stamps textFile with its size (twice, so the stamp counts itself) and
/// seals it. "加密文件成功！" or "加密文件失败！".
QString seal(const QString &textFile, const QString &masterKey);

enum class UnsealResult { Failed, Verified, Mismatch };

/// Unseals sealedFile next to it and compares the stamp with the size.
UnsealResult unseal(const QString &sealedFile, const QString &masterKey);

/// The status and message texts.
QString sealSucceededText();
QString sealFailedText();
QString unsealFailedText();
QString unsealSucceededText();
QString verifiedText();
QString mismatchText();

} // namespace DataFilePacker
