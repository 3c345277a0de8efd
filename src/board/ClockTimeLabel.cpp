// SPDX-License-Identifier: MIT
#include "board/ClockTimeLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOption>

namespace {
constexpr QStringView kCharacters = u"0123456789:";

int characterSlot(QChar c) {
    if (c == u':')
        return 10;
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    return -1;
}
} // namespace

ClockTimeLabel::ClockTimeLabel(QWidget *parent)
    : QLabel(parent) {}

void ClockTimeLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        m_glyphs.reset();
        m_glyphsLookedUp = false;
        m_originArea = QRect();
    }
    QLabel::changeEvent(event);
}

const ClockTimeLabel::Glyphs *ClockTimeLabel::glyphs() {
    if (!m_glyphsLookedUp) {
        m_glyphsLookedUp = true;
        Glyphs glyphs;
        glyphs.font = QRawFont::fromFont(font());
        const QList<quint32> indexes = glyphs.font.glyphIndexesForString(kCharacters.toString());
        // A missing glyph would come from another face: left to the plain way.
        if (glyphs.font.isValid() && indexes.size() == qsizetype(glyphs.indexes.size()) &&
            !indexes.contains(0u)) {
            const QList<QPointF> advances = glyphs.font.advancesForGlyphIndexes(indexes);
            for (size_t i = 0; i < glyphs.indexes.size(); ++i) {
                glyphs.indexes[i] = indexes[qsizetype(i)];
                glyphs.advances[i] = advances[qsizetype(i)].x();
            }
            m_glyphs = glyphs;
        }
    }
    return m_glyphs ? &*m_glyphs : nullptr;
}

// Where the plain label would start its line in area: the same layout rule
// placing a text of those characters, measured once per size and font.
QPointF ClockTimeLabel::origin(const QRect &area) {
    if (area != m_originArea) {
        m_originArea = area;
        const QFontMetricsF metrics(font());
        const QRectF line = metrics.boundingRect(QRectF(area), int(alignment()), QStringLiteral("00:00:00"));
        m_origin = QPointF(line.left(), line.top() + metrics.ascent());
    }
    return m_origin;
}

void ClockTimeLabel::paintEvent(QPaintEvent *event) {
    const QString shown = text();
    const Glyphs *run = glyphs();
    const bool plainLine = alignment() == (Qt::AlignLeft | Qt::AlignVCenter) && frameWidth() == 0 &&
                           margin() == 0 && indent() <= 0 && textFormat() != Qt::RichText &&
                           pixmap().isNull() && isEnabled();
    QList<quint32> indexes;
    QList<QPointF> positions;
    if (run && plainLine && !shown.isEmpty()) {
        qreal x = 0;
        for (const QChar c : shown) {
            const int slot = characterSlot(c);
            if (slot < 0) {
                indexes.clear();
                break;
            }
            indexes.append(run->indexes[size_t(slot)]);
            positions.append(QPointF(x, 0));
            x += run->advances[size_t(slot)];
        }
    }
    if (indexes.isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QGlyphRun glyphRun;
    glyphRun.setRawFont(run->font);
    glyphRun.setGlyphIndexes(indexes);
    glyphRun.setPositions(positions);
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), 0));
    painter.drawGlyphRun(origin(contentsRect()), glyphRun);
}
