// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QTextDocument;

/// Writes a QTextDocument as RTF 1.x that the Windows rich-text control reads
/// back: \ansi\ansicpg936, a font table led by the Song face, a colour table,
/// GBK characters as \'hh pairs, characters outside GBK as \uN?.
namespace RtfWriter {

QByteArray write(const QTextDocument &document);

} // namespace RtfWriter
