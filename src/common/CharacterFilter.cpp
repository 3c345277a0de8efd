// SPDX-License-Identifier: MIT
#include "common/CharacterFilter.h"

CharacterFilter::CharacterFilter(std::function<bool(QChar)> accepts, int maxLength, QObject *parent)
    : QValidator(parent)
    , m_accepts(std::move(accepts))
    , m_maxLength(maxLength) {}

QChar CharacterFilter::narrow(QChar c) {
    if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
        return QChar(char16_t(c.unicode() - 0xFEE0));
    return c;
}

QValidator::State CharacterFilter::validate(QString &input, int &position) const {
    QString kept;
    kept.reserve(input.size());
    int keptBeforeCursor = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = narrow(input[i]);
        if (!c.isPrint() || !m_accepts(c))
            continue;
        kept.append(c);
        if (i < position)
            ++keptBeforeCursor;
    }
    // Over the limit: what was just inserted, before the cursor, gives way,
    // as the box refuses typing into a full field.
    const qsizetype excess = kept.size() - m_maxLength;
    if (m_maxLength > 0 && excess > 0) {
        const qsizetype from = qMax<qsizetype>(0, keptBeforeCursor - excess);
        const qsizetype count = qMin(excess, kept.size() - from);
        kept.remove(from, count);
        keptBeforeCursor = int(from);
    }
    input = kept;
    position = keptBeforeCursor;
    return Acceptable;
}
