// SPDX-License-Identifier: MIT
#include "memos/RtfPictures.h"

#include <QBuffer>
#include <QImageWriter>

#include <cstring>

namespace RtfPictures {
namespace {

constexpr double kTwipsPerPixel = 15.0;
// Larger pictures are not built from bitmap bits (a broken header must not
// ask for gigabytes); PNG and JPEG have Qt's own allocation limit.
constexpr qint64 kMaxBitmapPixels = 64 * 1024 * 1024;

quint32 littleEndian32(const QByteArray &data, qsizetype at) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    return value;
}

quint16 littleEndian16(const QByteArray &data, qsizetype at) {
    return quint16(static_cast<unsigned char>(data[at]) | (static_cast<unsigned char>(data[at + 1]) << 8));
}

void appendLittleEndian32(QByteArray &out, quint32 value) {
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// \dibitmap data is a bitmap file without its 14-byte file header: the header
// says where the pixels start, after the info header, masks and colour table.
QImage decodeDib(const QByteArray &data) {
    if (data.size() < 16)
        return QImage();
    const quint32 headerSize = littleEndian32(data, 0);
    qint64 colours = 0;
    qint64 entrySize = 4;
    qint64 masks = 0;
    if (headerSize == 12) {
        const int bits = littleEndian16(data, 10);
        colours = bits <= 8 ? (qint64(1) << bits) : 0;
        entrySize = 3;
    } else if (headerSize >= 40 && data.size() >= 40) {
        const int bits = littleEndian16(data, 14);
        const quint32 compression = littleEndian32(data, 16);
        const quint32 used = littleEndian32(data, 32);
        colours = used != 0 ? qint64(used) : (bits <= 8 ? (qint64(1) << bits) : 0);
        if (headerSize == 40 && compression == 3) // BI_BITFIELDS
            masks = 12;
        else if (headerSize == 40 && compression == 6) // BI_ALPHABITFIELDS
            masks = 16;
    } else {
        return QImage();
    }
    const qint64 pixelsAt = 14 + qint64(headerSize) + masks + colours * entrySize;
    if (pixelsAt > 14 + qint64(data.size()))
        return QImage();
    QByteArray file("BM");
    appendLittleEndian32(file, quint32(14 + data.size()));
    appendLittleEndian32(file, 0);
    appendLittleEndian32(file, quint32(pixelsAt));
    file.append(data);
    return QImage::fromData(file, "BMP");
}

// \wbitmap data is the bits of a device-dependent bitmap, top row first, each
// row \wbmwidthbytes long. Monochrome bits of 1 are the background (white).
QImage decodeDdb(const Picture &picture) {
    const qint64 width = picture.width;
    const qint64 height = picture.height;
    if (width <= 0 || height <= 0 || width * height > kMaxBitmapPixels)
        return QImage();
    QImage::Format format = QImage::Format_Invalid;
    switch (picture.bitsPerPixel) {
    case 1:
        format = QImage::Format_Mono;
        break;
    case 16:
        format = QImage::Format_RGB555;
        break;
    case 24:
        format = QImage::Format_BGR888;
        break;
    case 32:
        format = QImage::Format_RGB32;
        break;
    default:
        return QImage();
    }
    const qint64 rowBits = width * picture.bitsPerPixel;
    const qint64 needed = (rowBits + 7) / 8;
    const qint64 stride = picture.widthBytes > 0 ? qint64(picture.widthBytes) : ((rowBits + 15) / 16) * 2;
    if (stride < needed || stride * height > qint64(picture.data.size()))
        return QImage();
    QImage image(int(width), int(height), format);
    if (image.isNull())
        return QImage();
    if (format == QImage::Format_Mono)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (qint64 row = 0; row < height; ++row)
        std::memcpy(image.scanLine(int(row)), picture.data.constData() + row * stride, size_t(needed));
    return image;
}

} // namespace

QImage decode(const Picture &picture) {
    switch (picture.kind) {
    case Kind::Png:
        return QImage::fromData(picture.data, "PNG");
    case Kind::Jpeg:
        return QImage::fromData(picture.data, "JPG");
    case Kind::Dib:
        return decodeDib(picture.data);
    case Kind::Ddb:
        return decodeDdb(picture);
    case Kind::Unknown:
        return QImage::fromData(picture.data);
    case Kind::Emf:
    case Kind::Wmf:
    case Kind::Other:
        break;
    }
    return QImage();
}

QSizeF displaySize(const Picture &picture, QSize imageSize) {
    const auto scaled = [](double pixels, int percent) {
        const double value = pixels * (percent > 0 ? percent : 100) / 100.0;
        return value >= 1 && value <= 100000 ? value : 0.0;
    };
    double width = 0;
    double height = 0;
    if (picture.goalWidth > 0 && picture.goalHeight > 0) {
        width = picture.goalWidth / kTwipsPerPixel;
        height = picture.goalHeight / kTwipsPerPixel;
    } else if ((picture.kind == Kind::Emf || picture.kind == Kind::Wmf) && picture.width > 0 &&
               picture.height > 0) {
        // A metafile's \picw and \pich are in hundredths of a millimetre.
        width = picture.width * 96.0 / 2540.0;
        height = picture.height * 96.0 / 2540.0;
    } else {
        width = imageSize.width();
        height = imageSize.height();
    }
    const QSizeF size(scaled(width, picture.scaleX), scaled(height, picture.scaleY));
    return size.width() > 0 && size.height() > 0 ? size : QSizeF();
}

QImage placeholder() {
    static const QImage image = [] {
        QImage stand(32, 32, QImage::Format_RGB32);
        stand.fill(qRgb(0xE4, 0xE4, 0xE4));
        for (int i = 0; i < 32; ++i) {
            for (const QPoint p : {QPoint(i, 0), QPoint(i, 31), QPoint(0, i), QPoint(31, i)})
                stand.setPixel(p, qRgb(0x90, 0x90, 0x90));
        }
        return stand;
    }();
    return image;
}

QByteArray pngGroup(const QImage &image, QSizeF size) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    if (!writer.write(image))
        return QByteArray();
    if (size.isEmpty())
        size = image.size();
    QByteArray group = "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
                       QByteArray::number(image.height()) + "\\picwgoal" +
                       QByteArray::number(qRound(size.width() * kTwipsPerPixel)) + "\\pichgoal" +
                       QByteArray::number(qRound(size.height() * kTwipsPerPixel)) + "\r\n";
    // Lines of 64 bytes, as the Windows control writes them.
    const QByteArray hex = png.toHex();
    group.reserve(group.size() + hex.size() + hex.size() / 128 * 2 + 4);
    for (qsizetype at = 0; at < hex.size(); at += 128)
        group.append(QByteArrayView(hex).sliced(at, qMin<qsizetype>(128, hex.size() - at))).append("\r\n");
    group.append('}');
    return group;
}

} // namespace RtfPictures
