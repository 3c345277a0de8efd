// SPDX-License-Identifier: MIT
#include "settings/SettingRules.h"

namespace SettingRules {
namespace {

bool isTwoDigits(QStringView text, int highest) {
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    return digit(text[0]) && digit(text[1]) && text.toInt() <= highest;
}

} // namespace

bool isClockTime(const QString &text) {
    return text.size() == 8 && text[2] == u':' && text[5] == u':' &&
           isTwoDigits(QStringView(text).sliced(0, 2), 23) &&
           isTwoDigits(QStringView(text).sliced(3, 2), 59) && isTwoDigits(QStringView(text).sliced(6, 2), 59);
}

bool isFolderCaption(const QString &caption) {
    return !caption.isEmpty() && !caption.contains(u'|') && !caption.contains(u'/') &&
           !caption.contains(u'\\') && caption != u'.' && caption != QStringLiteral("..");
}

} // namespace SettingRules
