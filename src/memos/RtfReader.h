// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

/// Reads Rich Text Format into a QTextDocument: text in the code page in
/// force (the current font's charset, else \ansicpg, else 1252; double-byte
/// pairs joined), \uN with its \ucN fallbacks skipped, fonts' charsets,
/// colours, bold, italic, underline, strike, size, text and background
/// colour, paragraphs, alignment, \line, \tab and table cells (separated by
/// a tab). Pictures, headers, footers and other destinations are left out.
/// Malformed input (unbalanced braces, truncation, huge numbers, a lone lead
/// byte) never stops it: what can be read is read.
namespace RtfReader {

/// True when bytes begin as an RTF file does ("{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

/// Replaces document's content with the RTF in bytes. Bytes that are not RTF
/// are taken as plain GBK text. False when there was no RTF header.
bool read(QByteArrayView bytes, QTextDocument &document);

/// The text of RTF bytes: paragraphs as lines.
QString plainText(QByteArrayView bytes);

} // namespace RtfReader
