// SPDX-License-Identifier: MIT
#include "settings/SettingsDefaults.h"

#include "settings/SettingsFile.h"

QString defaultMemoRecord(int number) {
    static const char16_t *const periods[] = {u"年", u"季", u"月", u"周"};
    const QString period = number < 4 ? QString::fromUtf16(periods[number]) : QStringLiteral("日");
    const QString date = number == 0 ? QStringLiteral("01-10") : QStringLiteral("1");
    return QStringLiteral("0|") + period + u'|' + date + QStringLiteral("|00:00:00|双击左边时间编辑便笺……");
}

QList<DefaultSetting> defaultSettings(const QString &appFolder) {
    const QString system = QStringLiteral("SYSTEM");
    const QString fileBox = QStringLiteral("FILEBOX");
    const QString user = QStringLiteral("USERINFO");
    const QString memo = QStringLiteral("MEMO");
    QList<DefaultSetting> defaults = {
        {system, QStringLiteral("F_top"), QStringLiteral("0")},
        {system, QStringLiteral("F_height"), QStringLiteral("10970")},
        {system, QStringLiteral("F_width"), QStringLiteral("0")},
        {system, QStringLiteral("F_left"), QStringLiteral("0")},
        {system, QStringLiteral("F_lock"), QStringLiteral("n")},
        {system, QStringLiteral("F_show"), QStringLiteral("a")},
        {system, QStringLiteral("F_transparent"), QStringLiteral("a")},
        {system, QStringLiteral("F_up"), QStringLiteral("0")},
        {system, QStringLiteral("F_calendar"), QStringLiteral("1")},
        {system, QStringLiteral("S_run"), QStringLiteral("n")},
        {system, QStringLiteral("S_key"), QString()},
        {system, QStringLiteral("S_shutdown"), QString()},
        {fileBox, QStringLiteral("FB_path"), withTrailingSeparator(appFolder) + QStringLiteral("filebox")},
        {fileBox, QStringLiteral("FB_list"),
         QStringLiteral("公文|报告|报表|图片|音乐|视频|软件|资料|保险柜")},
        {fileBox, QStringLiteral("FB_color"),
         QStringLiteral("&H00C0C0FF&|&H00C0E0FF&|&H00C0FFFF&|&H00C0FFC0&|&H00FFFFC0&|&H00FFC0C0&|&H00FFC0FF&|"
                        "&H00D4FF7F&|&H00EEF5FF&")},
        {fileBox, QStringLiteral("FB_fontcolor"), QStringLiteral("&H00000000&")},
        {fileBox, QStringLiteral("FB_pic"), QString()},
        {user, QStringLiteral("U_name"), QStringLiteral("无名")},
        {user, QStringLiteral("U_pass"), QString()},
        {memo, QStringLiteral("M_color"), QStringLiteral("&H80000005&")},
    };
    for (int number = 0; number < 9; ++number)
        defaults.append({memo, QStringLiteral("M%1").arg(number), defaultMemoRecord(number)});
    return defaults;
}

bool writeDefaultSettings(const SettingsFile &settings) {
    bool allStored = true;
    for (const DefaultSetting &entry : defaultSettings(settings.AppFolder()))
        allStored = settings.WriteSetting(entry.section, entry.key, entry.value) && allStored;
    return allStored;
}
