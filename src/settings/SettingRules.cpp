// SPDX-License-Identifier: MIT
#include "settings/SettingRules.h"

#include "common/NumericText.h"

namespace SettingRules {
namespace {

bool isTwoDigits(QStringView text, int highest) {
    const std::optional<int> value = NumericText::digitsValue(text);
    return text.size() == 2 && value && *value <= highest;
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
