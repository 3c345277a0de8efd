// SPDX-License-Identifier: MIT
#include "settings/ProfileFormat.h"

#include "common/AnsiCodec.h"
#include "settings/ProfileEncoding.h"

namespace ProfileFormat {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin);
}

// Index of the first unpaired byte c at or after from, stepping over
// double-byte characters so that a trail byte never counts as c.
qsizetype findSingleByte(QByteArrayView bytes, char c, qsizetype from = 0) {
    for (qsizetype pos = from; pos < bytes.size(); pos += AnsiCodec::charLengthAt(bytes, pos)) {
        if (bytes[pos] == c)
            return pos;
    }
    return -1;
}

// Names compare without regard to ASCII case; the bytes of a double-byte
// character compare exactly, so a trail byte "A" never equals "a".
bool sameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype pos = 0; pos < a.size();) {
        const qsizetype length = AnsiCodec::charLengthAt(a, pos);
        if (length == 2) {
            if (a[pos] != b[pos] || pos + 1 >= b.size() || a[pos + 1] != b[pos + 1])
                return false;
        } else {
            const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
            if (lower(a[pos]) != lower(b[pos]))
                return false;
        }
        pos += length;
    }
    return true;
}

QByteArrayView cleanValue(QByteArrayView raw) {
    const qsizetype nul = raw.indexOf('\0');
    QByteArrayView value = trimmed(nul < 0 ? raw : raw.first(nul));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value;
}

QByteArray singleLine(QByteArrayView bytes) {
    QByteArray line = bytes.toByteArray();
    line.replace('\r', ' ');
    line.replace('\n', ' ');
    return line;
}

// The bytes as a QByteArray without a copy, for a Profile that lives no longer
// than they do.
QByteArray borrowed(QByteArrayView bytes) {
    return QByteArray::fromRawData(bytes.data(), bytes.size());
}

} // namespace

// One pass over the lines, keeping nothing of a blank line. A byte-order mark
// some editors put first would hide the first section; it is passed over and
// kept as it is.
Profile::Profile(QByteArray file)
    : m_file(std::move(file))
    , m_bodyStart(ProfileEncoding::startsWithBom(m_file) ? ProfileEncoding::kUtf8Bom.size() : 0) {
    const char *bytes = m_file.constData();
    const qsizetype size = m_file.size();
    qsizetype pos = m_bodyStart;
    while (pos < size) {
        const qsizetype start = pos;
        while (pos < size && bytes[pos] != '\r' && bytes[pos] != '\n')
            ++pos;
        const qsizetype end = pos;
        if (pos < size && bytes[pos] == '\r')
            ++pos;
        if (pos < size && bytes[pos] == '\n')
            ++pos;
        if (m_lineEndSize == 0 && pos > end) {
            m_lineEndStart = end;
            m_lineEndSize = pos - end;
        }
        addLine(start, end, pos);
    }
    if (!m_sections.isEmpty())
        m_sections.last().keyEnd = m_keys.size();
}

void Profile::addLine(qsizetype start, qsizetype end, qsizetype next) {
    const QByteArrayView line = QByteArrayView(m_file).sliced(start, end - start);
    const QByteArrayView content = trimmed(line);
    if (content.isEmpty())
        return;
    const qsizetype contentStart = start + (content.data() - line.data());
    if (content[0] == '[') {
        const qsizetype close = findSingleByte(content, ']', 1);
        const QByteArrayView name = trimmed(content.sliced(1, (close < 0 ? content.size() : close) - 1));
        const qsizetype nameStart = contentStart + (name.data() - content.data());
        if (!m_sections.isEmpty())
            m_sections.last().keyEnd = m_keys.size();
        m_sections.append({nameStart, nameStart + name.size(), end, next, m_keys.size(), m_keys.size()});
        return;
    }
    if (m_sections.isEmpty())
        return; // lines before the first section count for nothing
    m_sections.last().lastEnd = end;
    m_sections.last().lastNext = next;
    if (content[0] == ';')
        return;
    const qsizetype equals = findSingleByte(content, '=');
    if (equals >= 0)
        m_keys.append({start, contentStart + equals, end});
}

QByteArrayView Profile::keyName(const Key &key) const {
    return trimmed(QByteArrayView(m_file).sliced(key.start, key.equals - key.start));
}

Profile::Found Profile::locate(QByteArrayView section, QByteArrayView key) const {
    const QByteArrayView wantedSection = trimmed(section);
    const QByteArrayView wantedKey = trimmed(key);
    for (const Section &candidate : m_sections) {
        const QByteArrayView name =
            QByteArrayView(m_file).sliced(candidate.nameStart, candidate.nameEnd - candidate.nameStart);
        if (!sameName(name, wantedSection))
            continue;
        // Only the first of duplicate sections counts, and the first of
        // duplicate keys.
        Found found{&candidate, nullptr};
        for (qsizetype i = candidate.firstKey; i < candidate.keyEnd && !found.key; ++i) {
            if (sameName(keyName(m_keys[i]), wantedKey))
                found.key = &m_keys[i];
        }
        return found;
    }
    return {};
}

std::optional<QByteArray> Profile::value(QByteArrayView section, QByteArrayView key) const {
    const Found found = locate(section, key);
    if (!found.key)
        return std::nullopt;
    const QByteArrayView raw =
        QByteArrayView(m_file).sliced(found.key->equals + 1, found.key->end - found.key->equals - 1);
    return AnsiCodec::cutToBytes(cleanValue(raw), kMaxValueBytes);
}

QByteArray Profile::withValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) const {
    const QByteArrayView file(m_file);
    const qsizetype nul = value.indexOf('\0');
    const QByteArray cleanSection = singleLine(trimmed(section));
    const QByteArray cleanKey = singleLine(trimmed(key));
    const QByteArray cleanValue = singleLine(nul < 0 ? value : value.first(nul));

    const Found found = locate(cleanSection, cleanKey);
    const QByteArrayView eol =
        m_lineEndSize > 0 ? file.sliced(m_lineEndStart, m_lineEndSize) : QByteArrayView("\r\n");
    QByteArray result;
    result.reserve(file.size() + cleanSection.size() + cleanKey.size() + cleanValue.size() + 8);

    if (found.key) {
        result.append(file.first(found.key->start));
        result.append(keyName(*found.key)).append('=').append(cleanValue);
        result.append(file.sliced(found.key->end));
        return result;
    }
    if (found.section) {
        const Section &within = *found.section;
        result.append(file.first(within.lastEnd));
        // The last line of the file may lack its line end.
        const QByteArrayView ending = file.sliced(within.lastEnd, within.lastNext - within.lastEnd);
        result.append(ending.isEmpty() ? eol : ending);
        result.append(cleanKey).append('=').append(cleanValue).append(eol);
        result.append(file.sliced(within.lastNext));
        return result;
    }
    result.append(file);
    if (file.size() > m_bodyStart && file.back() != '\n' && file.back() != '\r')
        result.append(eol);
    result.append('[').append(cleanSection).append(']').append(eol);
    result.append(cleanKey).append('=').append(cleanValue).append(eol);
    return result;
}

std::optional<QByteArray> readValue(QByteArrayView file, QByteArrayView section, QByteArrayView key) {
    return Profile(borrowed(file)).value(section, key);
}

QByteArray writeValue(QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    return Profile(borrowed(file)).withValue(section, key, value);
}

} // namespace ProfileFormat
