// SPDX-License-Identifier: MIT
#include "board/BoardSettings.h"

#include "board/BoardLayout.h"
#include "board/BoardModel.h"
#include "common/NumericText.h"
#include "common/ProcessValues.h"
#include "settings/SettingRules.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <limits>

namespace {

const QString kSystem = QStringLiteral("SYSTEM");
const QString kFileBox = QStringLiteral("FILEBOX");
constexpr int kLowestStoredTop = 10000;

QString read(const SettingsFile &settings, const QString &section, const char16_t *key) {
    return settings.ReadSetting(section, QString::fromUtf16(key));
}

// A position that does not fit a number of twips is an error, which leaves
// the board at the design position 0.
int positionValue(const QString &text) {
    const double value = std::round(NumericText::valueOf(text));
    return std::abs(value) <= double(std::numeric_limits<int>::max()) ? int(value) : 0;
}

bool isExistingFolder(const QString &path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void makeFolder(const QString &path) {
    if (!QFileInfo(path).isDir())
        QDir().mkpath(path);
}

QString noFolderReason(const QString &caption) {
    return QStringLiteral("分类标签“%1”不能用作文件夹名（不能含有“/”、“\\”或“|”，也不能是“.”或“..”），"
                          "此分类没有文件夹，不能打开，也不能拖放文件。请在[软件设置]中修改。")
        .arg(caption);
}

void loadFileBox(BoardModel &board, const SettingsFile &settings) {
    QString root = read(settings, kFileBox, u"FB_path");
    if (!isExistingFolder(root)) {
        root = settings.AppFolder() + QStringLiteral("filebox");
        settings.WriteSetting(kFileBox, QStringLiteral("FB_path"), root);
    }
    makeFolder(root);

    std::array<Category, 9> categories = board.categories();
    const QString list = read(settings, kFileBox, u"FB_list");
    if (!list.isEmpty()) {
        const QStringList names = list.split(u'|');
        for (int i = 0; i < BoardLayout::kCategoryCount && i < names.size(); ++i) {
            const QString name = TrimAtNul(names[i]);
            if (!name.isEmpty())
                categories[i].caption = name.left(4);
        }
    }

    const QString captionColour = read(settings, kFileBox, u"FB_fontcolor");
    const QString colours = read(settings, kFileBox, u"FB_color");
    if (!colours.isEmpty()) {
        const QStringList words = colours.split(u'|');
        for (int i = 0; i < BoardLayout::kCategoryCount && i < words.size(); ++i) {
            if (words[i].isEmpty())
                continue;
            categories[i].hasTileColour = true;
            categories[i].tileColour = NumericText::colourValueOf(words[i]);
        }
    }

    const QString base = withTrailingSeparator(root);
    for (Category &category : categories) {
        // A hand-edited caption such as ".." would put the folder anywhere.
        if (!SettingRules::isFolderCaption(category.caption)) {
            category.folder.clear();
            category.noFolderReason = noFolderReason(category.caption);
            continue;
        }
        makeFolder(base + category.caption);
        category.folder = base + category.caption + QDir::separator();
        category.noFolderReason.clear();
    }
    board.setFileBox(root, captionColour, categories);
}

} // namespace

void LoadBoardSettings(BoardModel &board, const SettingsFile &settings, ProcessValues &values) {
    board.setPosition(positionValue(read(settings, kSystem, u"F_top")),
                      positionValue(read(settings, kSystem, u"F_left")));
    board.applyShowMode(read(settings, kSystem, u"F_show"));
    board.applyTransparency(read(settings, kSystem, u"F_transparent"));
    board.setLocked(read(settings, kSystem, u"F_lock") == u"y");
    board.setOnTop(read(settings, kSystem, u"F_up") == u"1");
    values.SecurityKey = read(settings, kSystem, u"S_key");
    loadFileBox(board, settings);
    board.setUserNameText(u'[' + read(settings, QStringLiteral("USERINFO"), u"U_name") + u']');
    values.UserPassword = read(settings, QStringLiteral("USERINFO"), u"U_pass");
    board.setCalendarChecked(read(settings, kSystem, u"F_calendar") == u"y");
}

void SaveBoardSettings(const BoardModel &board, const SettingsFile &settings) {
    const auto write = [&](const char16_t *key, const QString &value) {
        settings.WriteSetting(kSystem, QString::fromUtf16(key), value);
    };
    if (!board.isHidden()) {
        const int top = board.top() > kLowestStoredTop ? 0 : board.top();
        write(u"F_top", QString::number(top));
        write(u"F_height", QString::number(board.height()));
        write(u"F_width", QString::number(board.width()));
        write(u"F_left", QString::number(board.left()));
    }
    write(u"F_lock", board.isLocked() ? QStringLiteral("y") : QStringLiteral("n"));
    write(u"F_show", board.ShowMode());
    write(u"F_transparent", board.TransparencyCode());
    write(u"F_up", board.isOnTop() ? QStringLiteral("1") : QStringLiteral("0"));
    write(u"F_calendar", board.isCalendarChecked() ? QStringLiteral("y") : QStringLiteral("n"));
}
