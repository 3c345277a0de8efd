// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

/// The Windows profile-file format on raw ANSI (GBK) bytes, read and written as
/// the Windows ANSI profile functions do. Names and values are bytes; the
/// caller converts them with AnsiCodec.
namespace ProfileFormat {

/// The longest value a read returns, in bytes (a 256-byte buffer with its NUL).
inline constexpr qsizetype kMaxValueBytes = 255;

/// The value of key in section, or nothing when either is missing.
/// Section and key names match without regard to ASCII case and to blanks
/// around them; only the first of duplicate sections and keys counts; the value
/// loses surrounding blanks and one pair of matching quotes, ends at a NUL and
/// is cut to kMaxValueBytes without splitting a double-byte character.
std::optional<QByteArray> readValue(QByteArrayView file, QByteArrayView section, QByteArrayView key);

/// The file with key in section set to value; every other byte stays as it
/// was. A missing key goes after the last line of its section, a missing
/// section at the end of the file, both with the file's own line ends (CRLF
/// for a new file). Value bytes after a NUL are dropped, and CR or LF in any
/// name or value become blanks so that no line can be injected. A UTF-8
/// byte-order mark at the start is no part of the first line, and stays.
QByteArray writeValue(QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value);

/// A file parsed once, for many reads and writes: where its sections and keys
/// are. Blank lines cost nothing, other lines a few offsets each, so its size
/// follows the file's.
class Profile final {
public:
    explicit Profile(QByteArray file = {});

    const QByteArray &bytes() const { return m_file; }
    /// As readValue.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;
    /// As writeValue.
    QByteArray withValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) const;

private:
    struct Key {
        qsizetype start;  // first byte of the line
        qsizetype equals; // its first "="
        qsizetype end;    // one past its last byte, before the line end
    };
    struct Section {
        qsizetype nameStart; // the name, trimmed
        qsizetype nameEnd;
        qsizetype lastEnd; // end and next line of the section's last non-blank line
        qsizetype lastNext;
        qsizetype firstKey; // its keys in m_keys
        qsizetype keyEnd;
    };
    struct Found {
        const Section *section = nullptr;
        const Key *key = nullptr;
    };

    void addLine(qsizetype start, qsizetype end, qsizetype next);
    QByteArrayView keyName(const Key &key) const;
    Found locate(QByteArrayView section, QByteArrayView key) const;

    QByteArray m_file;
    qsizetype m_bodyStart = 0; // after a byte-order mark
    QList<Section> m_sections;
    QList<Key> m_keys;
    qsizetype m_lineEndStart = 0; // the file's first line end
    qsizetype m_lineEndSize = 0;
};

} // namespace ProfileFormat
