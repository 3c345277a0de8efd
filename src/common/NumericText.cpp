// SPDX-License-Identifier: MIT
#include "common/NumericText.h"

#include <cmath>
#include <limits>
#include <optional>

namespace NumericText {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

qsizetype skipBlanks(QStringView text, qsizetype pos) {
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    return pos;
}

// "&H" hex or "&O" octal digits after pos; the 32-bit word they give (wrapping
// like the literal's type), or nothing when no digit follows.
std::optional<quint32> radixLiteral(QStringView text, qsizetype pos) {
    if (pos + 1 >= text.size() || text[pos] != u'&')
        return std::nullopt;
    const QChar kind = text[pos + 1].toUpper();
    const int radix = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
    if (radix == 0)
        return std::nullopt;
    quint64 value = 0;
    bool any = false;
    for (qsizetype i = pos + 2; i < text.size(); ++i) {
        const int digit = hexDigitValue(text[i]);
        if (digit < 0 || digit >= radix)
            break;
        value = (value * radix + digit) & 0xFFFFFFFFu;
        any = true;
    }
    if (!any)
        return std::nullopt;
    return static_cast<quint32>(value);
}

} // namespace

int hexDigitValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

double valueOf(QStringView text) {
    qsizetype pos = skipBlanks(text, 0);
    if (const auto word = radixLiteral(text, pos)) {
        // A literal of up to 8 hex digits is a signed 32-bit number.
        return static_cast<double>(static_cast<qint32>(*word));
    }
    const qsizetype start = pos;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
        ++pos;
    qsizetype digits = 0;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        ++pos;
        ++digits;
    }
    if (pos < text.size() && text[pos] == u'.') {
        ++pos;
        while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    // An exponent only when digits follow it.
    if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        qsizetype e = pos + 1;
        if (e < text.size() && (text[e] == u'+' || text[e] == u'-'))
            ++e;
        if (e < text.size() && text[e] >= u'0' && text[e] <= u'9') {
            while (e < text.size() && text[e] >= u'0' && text[e] <= u'9')
                ++e;
            pos = e;
        }
    }
    bool ok = false;
    const double value = text.sliced(start, pos - start).toString().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

int intValueOf(QStringView text) {
    const double value = std::round(valueOf(text));
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

quint32 colourValueOf(QStringView text) {
    const qsizetype pos = skipBlanks(text, 0);
    if (const auto word = radixLiteral(text, pos))
        return *word;
    return static_cast<quint32>(static_cast<qint64>(valueOf(text)) & 0xFFFFFFFF);
}

std::optional<int> digitsValue(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace NumericText
