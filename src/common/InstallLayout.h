// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// Where the program's parts are, seen from the executable's folder. A
/// portable copy (and the build folder) keeps everything beside the
/// executable, as the Windows build does; an installed copy keeps the modules
/// in lib/tackora/ and the shared files in share/tackora/ of its prefix.
namespace InstallLayout {

/// The installed module folder of an executable in executableFolder.
QString moduleFolder(const QString &executableFolder);
/// The installed shared-data folder of an executable in executableFolder.
QString dataFolder(const QString &executableFolder);

/// The file of a module or of the calendar program (e.g. "libtackora_sound.so",
/// "tackora-calendar"): beside the executable when it is there, else in the
/// installed module folder.
QString modulePath(const QString &executableFolder, const QString &fileName);

/// A shared file (the calendar page, the help text) in the first of: the
/// program folder, the executable's folder, the installed data folder. When
/// none has it, the program folder's name, so that a message names where the
/// user's own copy belongs.
QString sharedFile(const QString &appFolder, const QString &executableFolder, const QString &fileName);

/// The program folder when no --home is given: the executable's folder when
/// it is writable and not an installed prefix (a portable copy), else
/// $XDG_DATA_HOME/tackora (by default ~/.local/share/tackora).
QString defaultProgramFolder(const QString &executableFolder);

} // namespace InstallLayout
