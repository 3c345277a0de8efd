// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

/// Reads Rich Text Format into a QTextDocument: text in the code page in
/// force (the current font's charset, else \ansicpg, else 1252; double-byte
/// pairs joined), bytes in the Symbol font (\fcharset2) as its characters
/// (ASCII written as it is stays as it is; other symbol fonts keep their face
/// and give private-use characters), \uN with its \ucN
/// fallbacks skipped, the font table's faces and charsets, colours, bold,
/// italic, underline, strike, size, text and background colour, paragraphs
/// (\par, \page; an empty one keeps its mark's font), alignment, \line,
/// \tab, dashes, quotes, spaces and joiners, and table cells (separated by a
/// tab). Pictures (\pict) become images of the document: PNG, JPEG and
/// bitmaps are shown, others (metafiles) by a grey stand-in; each keeps its
/// group's bytes for the writer (RtfPictures::GroupProperty). Of \shppict
/// and its \nonshppict alternative only the \shppict picture is read.
/// Headers, footers, bullets' text and other destinations are left out, and
/// so is what follows the document's final closing brace.
/// Malformed input (unbalanced braces, truncation, huge numbers, a lone lead
/// byte, broken pictures) never stops it: what can be read is read.
namespace RtfReader {

/// True when bytes begin as an RTF file does ("{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

/// Replaces document's content with the RTF in bytes. Bytes that are not RTF
/// are taken as plain GBK text. False when there was no RTF header.
bool read(QByteArrayView bytes, QTextDocument &document, qsizetype *peakGroupStates = nullptr);

/// Groups nested deeper than this share the state of the deepest one kept:
/// a file of braces costs memory for its text, not one state per brace.
/// peakGroupStates (when given) tells how many states a read held.
inline constexpr int kMaxGroupDepth = 512;

/// The text of RTF bytes: paragraphs as lines, pictures left out.
QString plainText(QByteArrayView bytes);

} // namespace RtfReader
