// SPDX-License-Identifier: MIT
#include "settings/ProfileFormat.h"

#include "common/AnsiCodec.h"

#include <QList>

namespace ProfileFormat {
namespace {

struct Line {
    qsizetype start = 0; // first byte of the line
    qsizetype end = 0;   // one past its last byte, before the line end
    qsizetype next = 0;  // first byte of the following line
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QByteArrayView name;  // section or key name, trimmed
    QByteArrayView value; // the raw value after "=", untrimmed
};

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

QList<Line> splitLines(QByteArrayView file) {
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < file.size()) {
        Line line;
        line.start = pos;
        while (pos < file.size() && file[pos] != '\r' && file[pos] != '\n')
            ++pos;
        line.end = pos;
        if (pos < file.size() && file[pos] == '\r')
            ++pos;
        if (pos < file.size() && file[pos] == '\n' && (pos == line.end || file[pos - 1] == '\r'))
            ++pos;
        line.next = pos;
        lines.append(line);
    }
    return lines;
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

ParsedLine parseLine(QByteArrayView text) {
    ParsedLine parsed;
    const QByteArrayView content = trimmed(text);
    if (content.isEmpty() || content[0] == ';')
        return parsed;
    if (content[0] == '[') {
        const qsizetype close = findSingleByte(content, ']', 1);
        parsed.kind = LineKind::Section;
        parsed.name = trimmed(content.sliced(1, (close < 0 ? content.size() : close) - 1));
        return parsed;
    }
    const qsizetype equals = findSingleByte(content, '=');
    if (equals < 0)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = trimmed(content.first(equals));
    parsed.value = content.sliced(equals + 1);
    return parsed;
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

// Location of a section and, within it, of a key.
struct Found {
    qsizetype sectionLine = -1;
    qsizetype lastLineOfSection = -1; // last non-blank line of the section
    qsizetype keyLine = -1;
    QByteArrayView keyName;
    QByteArrayView rawValue;
};

Found locate(QByteArrayView file, const QList<Line> &lines, QByteArrayView section, QByteArrayView key) {
    Found found;
    const QByteArrayView wantedSection = trimmed(section);
    const QByteArrayView wantedKey = trimmed(key);
    bool inside = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView text = file.sliced(lines[i].start, lines[i].end - lines[i].start);
        const ParsedLine parsed = parseLine(text);
        if (parsed.kind == LineKind::Section) {
            if (inside)
                break; // only the first of duplicate sections counts
            inside = sameName(parsed.name, wantedSection);
            if (inside) {
                found.sectionLine = i;
                found.lastLineOfSection = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!trimmed(text).isEmpty())
            found.lastLineOfSection = i;
        if (parsed.kind == LineKind::Key && found.keyLine < 0 && sameName(parsed.name, wantedKey)) {
            found.keyLine = i;
            found.keyName = parsed.name;
            found.rawValue = parsed.value;
        }
    }
    return found;
}

QByteArray lineEndOf(QByteArrayView file, const QList<Line> &lines) {
    for (const Line &line : lines) {
        if (line.next > line.end)
            return file.sliced(line.end, line.next - line.end).toByteArray();
    }
    return QByteArrayLiteral("\r\n");
}

QByteArray singleLine(QByteArrayView bytes) {
    QByteArray line = bytes.toByteArray();
    line.replace('\r', ' ');
    line.replace('\n', ' ');
    return line;
}

} // namespace

std::optional<QByteArray> readValue(QByteArrayView file, QByteArrayView section, QByteArrayView key) {
    const QList<Line> lines = splitLines(file);
    const Found found = locate(file, lines, section, key);
    if (found.keyLine < 0)
        return std::nullopt;
    return AnsiCodec::cutToBytes(cleanValue(found.rawValue), kMaxValueBytes);
}

QByteArray writeValue(QByteArrayView file, QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    const qsizetype nul = value.indexOf('\0');
    const QByteArray cleanSection = singleLine(trimmed(section));
    const QByteArray cleanKey = singleLine(trimmed(key));
    const QByteArray cleanValue = singleLine(nul < 0 ? value : value.first(nul));

    const QList<Line> lines = splitLines(file);
    const Found found = locate(file, lines, cleanSection, cleanKey);
    const QByteArray eol = lineEndOf(file, lines);
    QByteArray result;
    result.reserve(file.size() + cleanSection.size() + cleanKey.size() + cleanValue.size() + 8);

    if (found.keyLine >= 0) {
        const Line &line = lines[found.keyLine];
        result.append(file.first(line.start));
        result.append(found.keyName).append('=').append(cleanValue);
        result.append(file.sliced(line.end));
        return result;
    }
    if (found.sectionLine >= 0) {
        const Line &after = lines[found.lastLineOfSection];
        result.append(file.first(after.end));
        // The last line of the file may lack its line end.
        const QByteArrayView ending = file.sliced(after.end, after.next - after.end);
        result.append(ending.isEmpty() ? QByteArrayView(eol) : ending);
        result.append(cleanKey).append('=').append(cleanValue).append(eol);
        result.append(file.sliced(after.next));
        return result;
    }
    result.append(file);
    if (!file.isEmpty() && file.back() != '\n' && file.back() != '\r')
        result.append(eol);
    result.append('[').append(cleanSection).append(']').append(eol);
    result.append(cleanKey).append('=').append(cleanValue).append(eol);
    return result;
}

} // namespace ProfileFormat
