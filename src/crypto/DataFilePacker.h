// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// The maintenance tool that seals a text file into a ".dll" under the
/// master key and unseals it again, checking a size stamp it wrote into the
/// text file's CHECK section.
namespace DataFilePacker {

/// notes.txt → notes.dll; notes.dll → notes.txt (the ending in any case).
/// Empty for a name without the ending.
QString sealedPathOf(const QString &textFile);
QString unsealedPathOf(const QString &sealedFile);

/// Why a file is not sealed (or unsealed) into its counterpart.
enum class Refusal {
    None,
    WrongEnding,  // not ".txt" to seal, not ".dll" to unseal
    Missing,      // no such file
    NotRegular,   // a pipe, socket or device: reading it would block
    SameFile,     // the counterpart is the file itself (a hard link)
    TargetExists, // and replacing it was not asked for
};
Refusal refusalOf(const QString &source, bool sealing, bool replace);

/// Stamps textFile with its size (twice, so the stamp counts itself) and
/// seals it. "加密文件成功！" or "加密文件失败！" (also for any refusal).
QString seal(const QString &textFile, const QString &masterKey, bool replace);

enum class UnsealResult { Failed, Verified, Mismatch };

/// Unseals sealedFile next to it and compares the stamp with the size.
UnsealResult unseal(const QString &sealedFile, const QString &masterKey, bool replace);

/// The status and message texts.
QString sealSucceededText();
QString sealFailedText();
QString unsealFailedText();
QString unsealSucceededText();
QString verifiedText();
QString mismatchText();

} // namespace DataFilePacker
