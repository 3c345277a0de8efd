// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QTextDocument;

/// Writes a QTextDocument as RTF 1.x that the Windows rich-text control reads
/// back: \ansi\ansicpg936, a font table led by the Song face, a colour table,
/// GBK characters as \'hh pairs, characters that GBK does not give back
/// unchanged as \uN?. Every run carries its face and size as shown (the
/// document's default font where the run sets none). Pictures are written as
/// they were read (RtfPictures::GroupProperty), other images as PNG pictures.
namespace RtfWriter {

QByteArray write(const QTextDocument &document);

} // namespace RtfWriter
