// SPDX-License-Identifier: MIT
#pragma once

#include "crypto/cRijndael.h"

#include <QByteArray>
#include <QString>

#include <functional>

class UserDialogs;

/// The one engine behind the string and file routines. Each routine installs
/// its key right before it uses it.
cRijndael &SharedCipher();

/// Where the engine's messages go (none by default) and what shows that a
/// long file operation is under way (the busy pointer in the program).
void setCryptoMessages(UserDialogs *messages);
void setCryptoBusyIndicator(std::function<void(bool busy)> indicator);

/// The key bytes of a key text: its ANSI (GBK) bytes, cut or zero-filled to
/// exactly 32.
QByteArray KeyBytesFromText(const QString &text);

/// Two upper-case hex digits a byte; two blanks before every byte whose
/// index is a positive multiple of spacing.
QString BytesToHex(const QByteArray &bytes, qsizetype count, int spacing = 32);

/// The bytes of every pair of hex digits in text, any other character
/// skipped; a digit left over at the end is dropped.
QByteArray HexToBytes(const QString &text);

/// Hex text of text sealed under key (256-bit key, zero padding), or empty
/// text when either is empty.
QString EncryptString(const QString &text, const QString &key);

/// The text unsealed, trailing NULs of the padding included; empty text
/// for empty arguments or a size that is not whole blocks; the text
/// "错误：文本非16位数据！" when hex holds no digit pair.
QString DecryptString(const QString &hex, const QString &key);
QString notHexDataText();

/// Why a file routine failed.
enum class FileCryptoError {
    None,
    MissingArgument, // no source file, no target path or no key
    Engine,          // the engine refused (size, length byte: a wrong key)
    Read,
    NotRegularFile, // a pipe, socket or device: reading it would block or never end
    Write,
};

/// The .aes container of source at target under the first 16 key bytes.
/// True only when target is complete; on failure nothing is left at target
/// beyond what was there before.
bool EncryptFileWithKey(const QString &source, const QString &target, const QString &key,
                        const cRijndael::Progress &progress = {}, FileCryptoError *error = nullptr);
/// The plaintext of the container source at target; false also for a wrong
/// key caught by the length byte (after the engine's message).
bool DecryptFileWithKey(const QString &source, const QString &target, const QString &key,
                        const cRijndael::Progress &progress = {}, FileCryptoError *error = nullptr);

/// True for an existing file (a folder does not count).
bool FileExists(const QString &path);
/// True for a regular file, or a link to one: what the file routines read.
/// A pipe, socket or device exists but is none.
bool IsRegularFile(const QString &path);
/// "不是普通文件…": why such a file is refused.
QString notRegularFileText();
/// Deletes the file when it exists, read-only or not.
void KillFile(const QString &path);
