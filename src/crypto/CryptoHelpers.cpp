// SPDX-License-Identifier: MIT
#include "crypto/CryptoHelpers.h"

#include "common/AnsiCodec.h"
#include "common/NumericText.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

std::function<void(bool)> &busyIndicator() {
    static std::function<void(bool)> indicator;
    return indicator;
}

// Shows the busy indication for its lifetime.
class BusyScope final {
public:
    BusyScope() {
        if (busyIndicator())
            busyIndicator()(true);
    }
    ~BusyScope() {
        if (busyIndicator())
            busyIndicator()(false);
    }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
};

FileCryptoError errorOf(cRijndael::FileResult result) {
    switch (result) {
    case cRijndael::FileResult::Ok:
        return FileCryptoError::None;
    case cRijndael::FileResult::SizeError:
    case cRijndael::FileResult::LengthFieldError:
        return FileCryptoError::Engine;
    case cRijndael::FileResult::ReadError:
        return FileCryptoError::Read;
    case cRijndael::FileResult::NotRegularFile:
        return FileCryptoError::NotRegularFile;
    case cRijndael::FileResult::WriteError:
        return FileCryptoError::Write;
    }
    return FileCryptoError::Engine;
}

using FileOperation = cRijndael::FileResult (cRijndael::*)(const QString &, const QString &,
                                                           const cRijndael::Progress &);

bool runFileOperation(FileOperation operation, const QString &plaintext, const QString &ciphertext,
                      const QString &source, const QString &target, const QString &key,
                      const cRijndael::Progress &progress, FileCryptoError *error) {
    const auto fail = [error](FileCryptoError why) {
        if (error)
            *error = why;
        return false;
    };
    if (!FileExists(source) || target.isEmpty() || key.isEmpty())
        return fail(FileCryptoError::MissingArgument);
    const BusyScope busy;
    SharedCipher().SetCipherKey(KeyBytesFromText(key), 128);
    // The old target goes only when the new one is complete: the engine
    // writes beside it and renames over it.
    const cRijndael::FileResult result = (SharedCipher().*operation)(plaintext, ciphertext, progress);
    if (result != cRijndael::FileResult::Ok)
        return fail(errorOf(result));
    if (error)
        *error = FileCryptoError::None;
    return true;
}

} // namespace

cRijndael &SharedCipher() {
    static cRijndael cipher;
    return cipher;
}

void setCryptoMessages(UserDialogs *messages) {
    SharedCipher().setMessages(messages);
}

void setCryptoBusyIndicator(std::function<void(bool)> indicator) {
    busyIndicator() = std::move(indicator);
}

QByteArray KeyBytesFromText(const QString &text) {
    QByteArray bytes = AnsiCodec::encode(text).left(32);
    bytes.append(32 - bytes.size(), '\0');
    return bytes;
}

QString BytesToHex(const QByteArray &bytes, qsizetype count, int spacing) {
    static const char digits[] = "0123456789ABCDEF";
    QString hex;
    count = qBound<qsizetype>(0, count, bytes.size());
    hex.reserve(count * 2 + (spacing > 0 ? 2 * count / spacing : 0));
    for (qsizetype k = 0; k < count; ++k) {
        if (k > 0 && spacing > 0 && k % spacing == 0)
            hex.append(QStringLiteral("  "));
        const auto byte = static_cast<unsigned char>(bytes[k]);
        hex.append(QChar(char16_t(digits[byte >> 4])));
        hex.append(QChar(char16_t(digits[byte & 0x0F])));
    }
    return hex;
}

QByteArray HexToBytes(const QString &text) {
    QByteArray bytes;
    int pending = -1;
    for (const QChar c : text) {
        const int digit = NumericText::hexDigitValue(c);
        if (digit < 0)
            continue;
        if (pending < 0) {
            pending = digit;
        } else {
            bytes.append(char(pending * 16 + digit));
            pending = -1;
        }
    }
    return bytes;
}

QString notHexDataText() {
    return QStringLiteral("错误：文本非16位数据！");
}

QString EncryptString(const QString &text, const QString &key) {
    if (text.isEmpty() || key.isEmpty())
        return QString();
    cRijndael &cipher = SharedCipher();
    cipher.SetCipherKey(KeyBytesFromText(key), 256);
    QByteArray ciphertext;
    cipher.ArrayEncrypt(AnsiCodec::encode(text), ciphertext, false);
    return BytesToHex(ciphertext, ciphertext.size(), 32);
}

QString DecryptString(const QString &hex, const QString &key) {
    if (hex.isEmpty() || key.isEmpty())
        return QString();
    const QByteArray keyBytes = KeyBytesFromText(key);
    const QByteArray ciphertext = HexToBytes(hex);
    if (ciphertext.isEmpty())
        return notHexDataText();
    cRijndael &cipher = SharedCipher();
    cipher.SetCipherKey(keyBytes, 256);
    QByteArray plaintext;
    if (cipher.ArrayDecrypt(plaintext, ciphertext, false) != 0)
        return QString();
    return AnsiCodec::decode(plaintext);
}

bool EncryptFileWithKey(const QString &source, const QString &target, const QString &key,
                        const cRijndael::Progress &progress, FileCryptoError *error) {
    return runFileOperation(&cRijndael::FileEncrypt, source, target, source, target, key, progress, error);
}

bool DecryptFileWithKey(const QString &source, const QString &target, const QString &key,
                        const cRijndael::Progress &progress, FileCryptoError *error) {
    return runFileOperation(&cRijndael::FileDecrypt, target, source, source, target, key, progress, error);
}

bool FileExists(const QString &path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool IsRegularFile(const QString &path) {
    struct stat info = {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

QString notRegularFileText() {
    return QStringLiteral("不是普通文件（可能是管道、套接字或设备），无法读取，不能加密或解密！");
}

void KillFile(const QString &path) {
    if (!FileExists(path))
        return;
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    file.remove();
}
