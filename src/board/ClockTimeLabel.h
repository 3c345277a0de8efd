// SPDX-License-Identifier: MIT
#pragma once

#include <QGlyphRun>
#include <QLabel>
#include <QRawFont>

#include <array>
#include <optional>

/// The clock's time. A plain label lays out and shapes its whole text again
/// at every paint, once a second all day; this one looks up the glyphs of
/// "0"–"9" and ":" once per font and only places them. Any other text, or a
/// font without those glyphs, is painted the plain label's way.
class ClockTimeLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ClockTimeLabel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Glyphs {
        QRawFont font;
        std::array<quint32, 11> indexes{}; // "0"–"9", then ":"
        std::array<qreal, 11> advances{};
    };
    const Glyphs *glyphs();
    QPointF origin(const QRect &area);

    std::optional<Glyphs> m_glyphs;
    bool m_glyphsLookedUp = false;
    QRect m_originArea; // what m_origin was measured for; empty: not measured
    QPointF m_origin;
};
