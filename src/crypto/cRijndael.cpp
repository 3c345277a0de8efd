// SPDX-License-Identifier: MIT
#include "crypto/cRijndael.h"

#include "common/AnsiCodec.h"
#include "common/AtomicFile.h"
#include "crypto/AesInstructions.h"
#include "platform/UserDialogs.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

uint8_t xtime(uint8_t b) {
    return uint8_t((b << 1) ^ ((b & 0x80) ? 0x1B : 0x00));
}

uint8_t rotl8(uint8_t b, int n) {
    return uint8_t((b << n) | (b >> (8 - n)));
}

uint32_t bytesToWord(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return uint32_t(b0) | (uint32_t(b1) << 8) | (uint32_t(b2) << 16) | (uint32_t(b3) << 24);
}

uint32_t repeated(uint8_t b) {
    return bytesToWord(b, b, b, b);
}

uint8_t byteOf(uint32_t word, int index) {
    return uint8_t(word >> (8 * index));
}

uint32_t loadWord(const uint8_t *p) {
    return bytesToWord(p[0], p[1], p[2], p[3]);
}

void storeWord(uint8_t *p, uint32_t word) {
    p[0] = byteOf(word, 0);
    p[1] = byteOf(word, 1);
    p[2] = byteOf(word, 2);
    p[3] = byteOf(word, 3);
}

// Fills buffer from file until it is full or the file ends; the count read,
// or -1 on a read error.
qint64 readFully(QFile &file, uint8_t *buffer, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(reinterpret_cast<char *>(buffer) + done, size - done);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// Opens a regular file for reading. A pipe, socket or device would block the
// read or never end, so anything else is refused: checked before opening,
// opened without waiting (a pipe with no writer would block the open itself),
// and checked again on what was opened, in case the name changed meanwhile.
cRijndael::FileResult openRegularFile(const QString &path, QFile &file) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) != 0)
        return cRijndael::FileResult::ReadError;
    if (!S_ISREG(info.st_mode))
        return cRijndael::FileResult::NotRegularFile;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENXIO ? cRijndael::FileResult::NotRegularFile : cRijndael::FileResult::ReadError;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return cRijndael::FileResult::NotRegularFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return cRijndael::FileResult::ReadError;
    }
    return cRijndael::FileResult::Ok;
}

} // namespace

cRijndael::cRijndael(UserDialogs *messages)
    : m_messages(messages)
    , m_useAesInstructions(processorHasAesInstructions()) {
    // Exponent and logarithm tables with generator 3.
    std::array<uint8_t, 256> exp{};
    std::array<uint8_t, 256> log{};
    exp[0] = 1;
    for (int i = 1; i < 256; ++i)
        exp[i] = uint8_t(exp[i - 1] ^ xtime(exp[i - 1]));
    for (int i = 0; i < 255; ++i)
        log[exp[i]] = uint8_t(i);
    const auto multiply = [&](uint8_t a, uint8_t b) -> uint8_t {
        if (a == 0 || b == 0)
            return 0;
        return exp[(log[a] + log[b]) % 255];
    };

    std::array<uint8_t, 256> s{};
    std::array<uint8_t, 256> inverse{};
    s[0] = 0x63;
    inverse[0x63] = 0;
    for (int i = 1; i < 256; ++i) {
        const uint8_t y = exp[255 - log[i]];
        const uint8_t value = uint8_t(y ^ rotl8(y, 1) ^ rotl8(y, 2) ^ rotl8(y, 3) ^ rotl8(y, 4) ^ 0x63);
        s[i] = value;
        inverse[value] = uint8_t(i);
    }
    for (int i = 0; i < 256; ++i) {
        SBox[i] = repeated(s[i]);
        InvSBox[i] = repeated(inverse[i]);
    }

    uint8_t constant = 1;
    for (uint32_t &word : RoundConst) {
        word = constant;
        constant = xtime(constant);
    }

    for (int i = 0; i < 256; ++i) {
        const uint8_t v = s[i];
        const uint8_t v2 = multiply(v, 2);
        const uint8_t v3 = multiply(v, 3);
        FwdTable[0][i] = bytesToWord(v2, v, v, v3);
        FwdTable[1][i] = bytesToWord(v3, v2, v, v);
        FwdTable[2][i] = bytesToWord(v, v3, v2, v);
        FwdTable[3][i] = bytesToWord(v, v, v3, v2);

        const uint8_t x = inverse[i];
        const uint8_t e = multiply(x, 0x0E);
        const uint8_t n = multiply(x, 0x09);
        const uint8_t d = multiply(x, 0x0D);
        const uint8_t b = multiply(x, 0x0B);
        InvTable[0][i] = bytesToWord(e, n, d, b);
        InvTable[1][i] = bytesToWord(b, e, n, d);
        InvTable[2][i] = bytesToWord(d, b, e, n);
        InvTable[3][i] = bytesToWord(n, d, b, e);
    }
}

bool cRijndael::processorHasAesInstructions() {
    return AesInstructions::available();
}

void cRijndael::setUseAesInstructions(bool use) {
    m_useAesInstructions = use && processorHasAesInstructions();
}

int cRijndael::SetCipherKey(const QByteArray &pass, int keyBits) {
    if (keyBits != 128 && keyBits != 192 && keyBits != 256)
        throw RijndaelError("cRijndael.SetCipherKey - Illegal KeyBits Value");
    const int nk = keyBits / 32;
    if (pass.size() < keyBits / 8)
        throw RijndaelError("cRijndael.SetCipherKey - key too short");
    RoundCount = nk + 6;
    const int total = 4 * (RoundCount + 1);
    const auto *bytes = reinterpret_cast<const uint8_t *>(pass.constData());
    for (int i = 0; i < nk; ++i)
        EncryptKey[i] = loadWord(bytes + 4 * i);
    const auto subWord = [this](uint32_t w) {
        return bytesToWord(byteOf(SBox[byteOf(w, 0)], 0), byteOf(SBox[byteOf(w, 1)], 0),
                           byteOf(SBox[byteOf(w, 2)], 0), byteOf(SBox[byteOf(w, 3)], 0));
    };
    for (int i = nk; i < total; ++i) {
        uint32_t temp = EncryptKey[i - 1];
        if (i % nk == 0) {
            const uint32_t rotated = (temp >> 8) | (temp << 24); // RotWord on the little-endian column
            temp = subWord(rotated) ^ RoundConst[i / nk - 1];
        } else if (nk == 8 && i % nk == 4) {
            temp = subWord(temp);
        }
        EncryptKey[i] = EncryptKey[i - nk] ^ temp;
    }
    InvertKeySchedule();
    return 0;
}

int cRijndael::SetCipherKeyString(const QString &passPhrase, int keyBits) {
    QByteArray bytes = AnsiCodec::encode(passPhrase).left(32);
    bytes.append(32 - bytes.size(), '\0');
    return SetCipherKey(bytes, keyBits);
}

void cRijndael::InvertKeySchedule() {
    for (int round = 0; round <= RoundCount; ++round) {
        for (int j = 0; j < 4; ++j)
            DecryptKey[4 * round + j] = EncryptKey[4 * (RoundCount - round) + j];
    }
    for (int i = 4; i < 4 * RoundCount; ++i) {
        const uint32_t w = DecryptKey[i];
        DecryptKey[i] =
            InvTable[0][byteOf(SBox[byteOf(w, 0)], 0)] ^ InvTable[1][byteOf(SBox[byteOf(w, 1)], 0)] ^
            InvTable[2][byteOf(SBox[byteOf(w, 2)], 0)] ^ InvTable[3][byteOf(SBox[byteOf(w, 3)], 0)];
    }
}

// Four columns at a time, spelled out: each new column takes byte 0 of its
// own column and bytes 1 to 3 of the next ones (ShiftRows) through the four
// round tables.
#define TACKORA_ROUND(T0, T1, T2, T3, a, b, c, d, k)                                                         \
    (T0[byteOf(a, 0)] ^ T1[byteOf(b, 1)] ^ T2[byteOf(c, 2)] ^ T3[byteOf(d, 3)] ^ (k))
#define TACKORA_LAST(S, a, b, c, d, k)                                                                       \
    (((S[byteOf(a, 0)] & 0x000000FFu) | (S[byteOf(b, 1)] & 0x0000FF00u) | (S[byteOf(c, 2)] & 0x00FF0000u) |  \
      (S[byteOf(d, 3)] & 0xFF000000u)) ^                                                                     \
     (k))

// Blocks at a time through one round each: independent blocks keep the
// processor's load units busy while one block waits for its lookups. The
// inverse cipher is the same walk over the inverse tables and keys, taking
// byte 1 from column j+3 and byte 3 from column j+1 (inverse ShiftRows).
template <bool Encrypt, int Blocks> void cRijndael::tableBlocks(const uint8_t *in, uint8_t *out) const {
    const auto &tables = Encrypt ? FwdTable : InvTable;
    const uint32_t *T0 = tables[0].data();
    const uint32_t *T1 = tables[1].data();
    const uint32_t *T2 = tables[2].data();
    const uint32_t *T3 = tables[3].data();
    const uint32_t *S = Encrypt ? SBox.data() : InvSBox.data();
    const uint32_t *k = Encrypt ? EncryptKey.data() : DecryptKey.data();
    constexpr int one = Encrypt ? 1 : 3;
    constexpr int three = Encrypt ? 3 : 1;
    uint32_t c[Blocks][4];
    for (int b = 0; b < Blocks; ++b) {
        for (int j = 0; j < 4; ++j)
            c[b][j] = loadWord(in + 16 * b + 4 * j) ^ k[j];
    }
    for (int round = 1; round < RoundCount; ++round) {
        k += 4;
        for (int b = 0; b < Blocks; ++b) {
            uint32_t n[4];
            for (int j = 0; j < 4; ++j)
                n[j] = TACKORA_ROUND(T0, T1, T2, T3, c[b][j], c[b][(j + one) & 3], c[b][(j + 2) & 3],
                                     c[b][(j + three) & 3], k[j]);
            for (int j = 0; j < 4; ++j)
                c[b][j] = n[j];
        }
    }
    k += 4;
    for (int b = 0; b < Blocks; ++b) {
        for (int j = 0; j < 4; ++j)
            storeWord(out + 16 * b + 4 * j, TACKORA_LAST(S, c[b][j], c[b][(j + one) & 3], c[b][(j + 2) & 3],
                                                         c[b][(j + three) & 3], k[j]));
    }
}

#undef TACKORA_ROUND
#undef TACKORA_LAST

void cRijndael::BlockEncrypt(const uint8_t *plaintext, uint8_t *ciphertext) const {
    if (m_useAesInstructions) {
        std::memmove(ciphertext, plaintext, 16);
        AesInstructions::encrypt(EncryptKey.data(), RoundCount, ciphertext, 1);
    } else {
        tableBlocks<true, 1>(plaintext, ciphertext);
    }
}

void cRijndael::BlockDecrypt(uint8_t *plaintext, const uint8_t *ciphertext) const {
    if (m_useAesInstructions) {
        std::memmove(plaintext, ciphertext, 16);
        AesInstructions::decrypt(DecryptKey.data(), RoundCount, plaintext, 1);
    } else {
        tableBlocks<false, 1>(ciphertext, plaintext);
    }
}

void cRijndael::encryptBlocks(uint8_t *data, qint64 blocks) const {
    if (m_useAesInstructions) {
        AesInstructions::encrypt(EncryptKey.data(), RoundCount, data, blocks);
        return;
    }
    qint64 i = 0;
    for (; i + 2 <= blocks; i += 2)
        tableBlocks<true, 2>(data + 16 * i, data + 16 * i);
    if (i < blocks)
        tableBlocks<true, 1>(data + 16 * i, data + 16 * i);
}

void cRijndael::decryptBlocks(uint8_t *data, qint64 blocks) const {
    if (m_useAesInstructions) {
        AesInstructions::decrypt(DecryptKey.data(), RoundCount, data, blocks);
        return;
    }
    qint64 i = 0;
    for (; i + 2 <= blocks; i += 2)
        tableBlocks<false, 2>(data + 16 * i, data + 16 * i);
    if (i < blocks)
        tableBlocks<false, 1>(data + 16 * i, data + 16 * i);
}

int cRijndael::ArrayEncrypt(const QByteArray &plaintext, QByteArray &ciphertext, bool appendSize) {
    const qint64 n = plaintext.size();
    const qint64 length = appendSize ? 16 * (n / 16 + 1) : (n + 15) / 16 * 16;
    QByteArray result(length, '\0');
    std::memcpy(result.data(), plaintext.constData(), size_t(n));
    if (appendSize)
        result[length - 1] = char(n % 16);
    encryptBlocks(reinterpret_cast<uint8_t *>(result.data()), length / 16);
    ciphertext = result;
    return 0;
}

int cRijndael::ArrayDecrypt(QByteArray &plaintext, const QByteArray &ciphertext, bool appendSize) {
    const qint64 m = ciphertext.size();
    if (m % 16 != 0) {
        show(sizeErrorMessage());
        return -1;
    }
    QByteArray result = ciphertext;
    decryptBlocks(reinterpret_cast<uint8_t *>(result.data()), m / 16);
    if (appendSize && m > 0) {
        const int lengthByte = static_cast<unsigned char>(result[m - 1]);
        if (lengthByte > 15) {
            show(lengthFieldMessage());
            plaintext = result;
            return 1;
        }
        result.truncate(m - 16 + lengthByte);
    }
    plaintext = result;
    return 0;
}

// Every buffer but the last: read whole, ciphered in place, appended. remaining
// counts the container bytes still to come and ends at 16 to kBufferSize.
cRijndael::FileResult cRijndael::processWholeBuffers(QFile &source, AtomicFileWriter &target, uint8_t *buffer,
                                                     qint64 &remaining, bool encrypt,
                                                     const Progress &progress) const {
    const qint64 containerSize = remaining;
    while (remaining > kBufferSize) {
        if (readFully(source, buffer, kBufferSize) != kBufferSize)
            return FileResult::ReadError;
        if (encrypt)
            encryptBlocks(buffer, kBufferSize / 16);
        else
            decryptBlocks(buffer, kBufferSize / 16);
        if (!target.write(QByteArrayView(buffer, kBufferSize)))
            return FileResult::WriteError;
        remaining -= kBufferSize;
        if (progress)
            progress(containerSize - remaining, containerSize);
    }
    return FileResult::Ok;
}

cRijndael::FileResult cRijndael::FileEncrypt(const QString &plaintextFileName,
                                             const QString &ciphertextFileName, const Progress &progress) {
    QFile source;
    if (const FileResult opened = openRegularFile(plaintextFileName, source); opened != FileResult::Ok)
        return opened;
    AtomicFileWriter target(ciphertextFileName);
    if (!target.open())
        return FileResult::WriteError;

    const qint64 n = source.size();
    qint64 total = 16 * (n / 16 + 1);
    const qint64 containerSize = total;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[size_t(std::min(total, kBufferSize))]);
    if (const FileResult result = processWholeBuffers(source, target, buffer.get(), total, true, progress);
        result != FileResult::Ok)
        return result;
    const qint64 written = containerSize - total;
    std::memset(buffer.get(), 0, size_t(total));
    const qint64 tail = n - written;
    if (readFully(source, buffer.get(), tail) != tail)
        return FileResult::ReadError;
    buffer[total - 1] = uint8_t(n % 16);
    encryptBlocks(buffer.get(), total / 16);
    if (!target.write(QByteArrayView(buffer.get(), total)) || !target.commit())
        return FileResult::WriteError;
    if (progress)
        progress(containerSize, containerSize);
    return FileResult::Ok;
}

cRijndael::FileResult cRijndael::FileDecrypt(const QString &plaintextFileName,
                                             const QString &ciphertextFileName, const Progress &progress) {
    QFile source;
    if (const FileResult opened = openRegularFile(ciphertextFileName, source); opened != FileResult::Ok)
        return opened;
    qint64 m = source.size();
    if (m == 0 || m % 16 != 0) {
        show(fileSizeErrorMessage());
        return FileResult::SizeError;
    }
    AtomicFileWriter target(plaintextFileName);
    if (!target.open())
        return FileResult::WriteError;

    const qint64 containerSize = m;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[size_t(std::min(m, kBufferSize))]);
    if (const FileResult result = processWholeBuffers(source, target, buffer.get(), m, false, progress);
        result != FileResult::Ok)
        return result;
    if (readFully(source, buffer.get(), m) != m)
        return FileResult::ReadError;
    decryptBlocks(buffer.get(), m / 16);
    const int lengthByte = buffer[m - 1];
    if (lengthByte >= 16) {
        // Almost always a wrong key: what was deciphered is garbage.
        show(fileLengthFieldMessage());
        return FileResult::LengthFieldError;
    }
    const qint64 kept = m - 16 + lengthByte;
    if ((kept > 0 && !target.write(QByteArrayView(buffer.get(), kept))) || !target.commit())
        return FileResult::WriteError;
    if (progress)
        progress(containerSize, containerSize);
    return FileResult::Ok;
}

QString cRijndael::sizeErrorMessage() {
    return QStringLiteral("错误：密文大小与原块数倍数不符！");
}

QString cRijndael::lengthFieldMessage() {
    return QStringLiteral("警告 - 长度字段不正确！");
}

QString cRijndael::fileSizeErrorMessage() {
    return QStringLiteral("文件大小错误：密文文件不是块大小的倍数！");
}

QString cRijndael::fileLengthFieldMessage() {
    return QStringLiteral("警告 - 解密失败！文件中的长度字段错误！\r\n错误的密钥或密钥大小不吻合？");
}

void cRijndael::show(const QString &text) const {
    if (m_messages)
        m_messages->message(text, QString(), MessageIcon::None);
}
