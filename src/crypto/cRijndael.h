// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>

class AtomicFileWriter;
class QFile;
class UserDialogs;

/// An argument error of the engine: number 1 with a description naming the
/// operation ("cRijndael.SetCipherKey - Illegal KeyBits Value").
class RijndaelError final : public std::invalid_argument {
public:
    explicit RijndaelError(const char *description)
        : std::invalid_argument(description) {}
    int number() const { return 1; }
};

/// AES (FIPS-197) for 128-, 192- and 256-bit keys, each block on its own
/// (ECB), with zero-padded arrays and the program's .aes file container.
///
/// The reference is the table-driven cipher, its tables computed at
/// construction; where the processor has AES instructions the same bytes are
/// computed with them, eight blocks at a time. Argument errors throw
/// RijndaelError; the engine's messages go to the dialogs given (none: no
/// message), as modal boxes with an OK button, no icon and no title.
class cRijndael final {
public:
    /// Size of the file buffers: memory stays flat whatever the file size.
    static constexpr qint64 kBufferSize = 4'000'000;

    /// How a file operation ended.
    enum class FileResult {
        Ok,
        SizeError,        // the container is empty or not whole blocks
        LengthFieldError, // the last block's length byte is above 15: a wrong key
        ReadError,        // the source cannot be opened or read
        NotRegularFile,   // the source is a pipe, socket, device or folder: never read
        WriteError,       // the target cannot be created, written or put in place
    };

    /// Called with the bytes done and the total while a file is processed.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    explicit cRijndael(UserDialogs *messages = nullptr);

    void setMessages(UserDialogs *messages) { m_messages = messages; }

    /// Which block code runs: the processor's AES instructions when it has
    /// them (true), else the tables. Tests can force the tables.
    bool usesAesInstructions() const { return m_useAesInstructions; }
    void setUseAesInstructions(bool use);
    static bool processorHasAesInstructions();

    /// Installs a key of keyBits (128, 192 or 256) from the first keyBits/8
    /// bytes of pass. Result 0. Throws RijndaelError for other sizes or a
    /// pass too short; the previous key stays in force.
    int SetCipherKey(const QByteArray &pass, int keyBits);
    /// The key from text in the ANSI code page, cut or zero-filled to 32 bytes.
    int SetCipherKeyString(const QString &passPhrase, int keyBits);

    /// One 16-byte block; in and out may be the same.
    void BlockEncrypt(const uint8_t *plaintext, uint8_t *ciphertext) const;
    void BlockDecrypt(uint8_t *plaintext, const uint8_t *ciphertext) const;
    /// Whole blocks in place (blocks × 16 bytes).
    void encryptBlocks(uint8_t *data, qint64 blocks) const;
    void decryptBlocks(uint8_t *data, qint64 blocks) const;

    /// Zero-padded to whole blocks; with appendSize one block more than the
    /// full plaintext blocks, its last byte the plaintext length mod 16.
    int ArrayEncrypt(const QByteArray &plaintext, QByteArray &ciphertext, bool appendSize);
    /// 0; -1 (size not whole blocks, plaintext untouched); 1 (length byte
    /// above 15, plaintext keeps every byte).
    int ArrayDecrypt(QByteArray &plaintext, const QByteArray &ciphertext, bool appendSize);

    /// Writes the .aes container of the plaintext file. The target appears
    /// only when complete (written beside it, then renamed over it); on
    /// failure nothing is left behind and an existing target stays.
    FileResult FileEncrypt(const QString &plaintextFileName, const QString &ciphertextFileName,
                           const Progress &progress = {});
    /// Reads a container back. A size error or a wrong length byte shows the
    /// engine's message and, like any failure, leaves no output.
    FileResult FileDecrypt(const QString &plaintextFileName, const QString &ciphertextFileName,
                           const Progress &progress = {});

    /// The messages the engine shows.
    static QString sizeErrorMessage();
    static QString lengthFieldMessage();
    static QString fileSizeErrorMessage();
    static QString fileLengthFieldMessage();

private:
    void InvertKeySchedule();
    FileResult processWholeBuffers(QFile &source, AtomicFileWriter &target, uint8_t *buffer,
                                   qint64 &remaining, bool encrypt, const Progress &progress) const;
    template <bool Encrypt, int Blocks> void tableBlocks(const uint8_t *in, uint8_t *out) const;
    void show(const QString &text) const;

    UserDialogs *m_messages = nullptr;
    bool m_useAesInstructions = false;
    int RoundCount = 0;
    std::array<uint32_t, 60> EncryptKey{};
    std::array<uint32_t, 60> DecryptKey{};
    std::array<uint32_t, 256> SBox{};
    std::array<uint32_t, 256> InvSBox{};
    std::array<uint32_t, 10> RoundConst{};
    std::array<std::array<uint32_t, 256>, 4> FwdTable{};
    std::array<std::array<uint32_t, 256>, 4> InvTable{};
};
