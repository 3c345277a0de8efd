// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

/// How setup.ini's bytes stand to the GBK the profile functions read them in.
/// A file saved by hand in another encoding is still read as GBK (as the
/// Windows build reads it); this tells where that goes wrong.
namespace ProfileEncoding {

/// The UTF-8 byte-order mark some editors write at the start.
inline constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";

bool startsWithBom(QByteArrayView file);

/// Index of the first lead byte without its trail byte, the bytes GBK cannot
/// decode; -1 when there is none.
qsizetype firstUndecodable(QByteArrayView bytes);

/// GBK bytes to text, each lead byte without its trail byte standing as
/// U+FFFD, so that text read from such bytes always shows it.
QString decode(QByteArrayView bytes);

/// What is wrong with a file, and on which line (from 1) it first shows.
struct Finding {
    enum class Kind {
        None,
        Bom,       // starts with a UTF-8 byte-order mark
        LooksUtf8, // not ASCII, and all of it valid UTF-8: saved as UTF-8
        NotGbk,    // bytes GBK cannot decode
    };
    Kind kind = Kind::None;
    int line = 0;
};
Finding examine(QByteArrayView file);

} // namespace ProfileEncoding
