// SPDX-License-Identifier: MIT
#include "cli/CliApp.h"

#include "cli/Terminal.h"
#include "common/InstallLayout.h"
#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/DataFilePacker.h"
#include "crypto/MasterKey.h"
#include "crypto/SafeLog.h"
#include "crypto/SecurityKey.h"
#include "memos/MemoDue.h"
#include "memos/MemoSlots.h"
#include "memos/RtfReader.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

enum ExitCode { Done = 0, Failed = 1, Usage = 2 };

// Progress lines only for files that take a noticeable while.
constexpr qint64 kProgressThreshold = 16 * 1024 * 1024;

void printTo(FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void error(const QString &text) {
    printTo(stderr, QStringLiteral("tackora-cli: ") + text);
}

// The program's message boxes on the terminal: information on standard
// output, everything else on standard error.
class TerminalDialogs final : public UserDialogs {
public:
    void message(const QString &text, const QString &, MessageIcon icon) override {
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (icon == MessageIcon::Information)
            printTo(stdout, shown);
        else
            error(shown);
    }
    bool askYesNo(const QString &, const QString &, MessageIcon) override { return false; }
    std::optional<QString> input(const QString &prompt, const QString &, const QString &) override {
        return Terminal::readLine(prompt);
    }
};

struct Options {
    QString home;
    QString out;
    QString at;
    bool force = false;
    QStringList words; // the command and its files
};

std::optional<Options> parseOptions(const QStringList &arguments, const QString &executableFolder) {
    Options options;
    options.home = InstallLayout::defaultProgramFolder(executableFolder);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if ((argument == u"--home" || argument == u"--out" || argument == u"--at") &&
            i + 1 < arguments.size()) {
            (argument == u"--home"  ? options.home
             : argument == u"--out" ? options.out
                                    : options.at) = arguments[++i];
        } else if (argument.startsWith(u"--home=")) {
            options.home = argument.mid(7);
        } else if (argument.startsWith(u"--out=")) {
            options.out = argument.mid(6);
        } else if (argument == u"--force") {
            options.force = true;
        } else if (argument.startsWith(u"--") && argument != u"--help") {
            error(QStringLiteral("unknown option %1").arg(argument));
            return std::nullopt;
        } else {
            options.words.append(argument);
        }
    }
    return options;
}

// The folder the file safe opens on: the safe folder of the file box, or the
// one in the program folder.
QString safeFolder(const SettingsFile &settings) {
    const QString root = settings.ReadSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_path"));
    const QString inRoot = withTrailingSeparator(root) + QStringLiteral("保险柜");
    if (!root.isEmpty() && QFileInfo(inRoot).isDir())
        return inRoot;
    return settings.AppFolder() + QStringLiteral("保险柜");
}

class ProgressLine final {
public:
    ProgressLine(QString verb, QString name)
        : m_verb(std::move(verb))
        , m_name(std::move(name)) {}
    ~ProgressLine() {
        if (m_shown)
            std::fputc('\n', stderr);
    }
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void operator()(qint64 done, qint64 total) {
        if (total < kProgressThreshold)
            return;
        const int percent = int(done * 100 / total);
        if (m_shown && percent == m_lastPercent)
            return;
        m_shown = true;
        m_lastPercent = percent;
        std::fprintf(stderr, "\r%s %s  %3d%% (%lld of %lld MiB)", m_verb.toLocal8Bit().constData(),
                     m_name.toLocal8Bit().constData(), percent, done >> 20, total >> 20);
        std::fflush(stderr);
    }

private:
    QString m_verb;
    QString m_name;
    bool m_shown = false;
    int m_lastPercent = -1;
};

QString failureReason(FileCryptoError why, bool encrypting) {
    switch (why) {
    case FileCryptoError::MissingArgument:
        return QStringLiteral("no such file");
    case FileCryptoError::Engine:
        return encrypting ? QStringLiteral("the engine refused the file")
                          : QStringLiteral("not a container of this key (wrong key or damaged file)");
    case FileCryptoError::Read:
        return QStringLiteral("cannot read the source");
    case FileCryptoError::NotRegularFile:
        return notRegularFileText();
    case FileCryptoError::Write:
        return QStringLiteral("cannot write the target");
    case FileCryptoError::None:
        break;
    }
    return QString();
}

// Asks for the security key and checks it as the safe's prompt does; the
// security text on success.
std::optional<QString> unlockSafe(const SettingsFile &settings, const ProcessValues &values) {
    const std::optional<QString> typed = Terminal::readSecret(QStringLiteral("请输入安全密匙："));
    const QString key = trimBlanks(typed.value_or(QString()));
    if (key.isEmpty()) {
        error(QStringLiteral("no security key given"));
        return std::nullopt;
    }
    switch (VerifySecurityKey(settings, values.MasterKey, key)) {
    case 0:
        return SecurityTextOf(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key")),
                              values.MasterKey);
    case 1:
        error(QStringLiteral("尚未设置过安全密匙或其他未知错误！请重新设置安全密匙！"));
        return std::nullopt;
    default:
        error(QStringLiteral("您输入的安全密匙不正确！不能使用文件保险柜！"));
        return std::nullopt;
    }
}

int runSafeFiles(const Options &options, bool encrypting) {
    const QStringList files = options.words.mid(2);
    if (files.isEmpty()) {
        error(QStringLiteral("name at least one file"));
        return Usage;
    }
    const SettingsFile settings(options.home);
    ProcessValues values;
    values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
    TerminalDialogs dialogs;
    setCryptoMessages(&dialogs);
    const std::optional<QString> securityText = unlockSafe(settings, values);
    if (!securityText)
        return Failed;
    const QString storedKey = settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"));

    const QString outFolder = withTrailingSeparator(QDir::toNativeSeparators(
        QFileInfo(options.out.isEmpty() ? safeFolder(settings) : options.out).absoluteFilePath()));
    if (!QFileInfo(outFolder).isDir()) {
        error(QStringLiteral("no folder %1 for the results (choose one with --out)").arg(outFolder));
        return Failed;
    }

    int failures = 0;
    for (const QString &file : files) {
        const QString source = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
        const QString name = QFileInfo(source).fileName();
        if (!FileExists(source)) {
            error(QStringLiteral("%1: 该文件不存在！").arg(file));
            ++failures;
            continue;
        }
        if (!IsRegularFile(source)) {
            error(QStringLiteral("%1: ").arg(file) + notRegularFileText());
            ++failures;
            continue;
        }
        if (!encrypting && !name.endsWith(QStringLiteral(".aes"), Qt::CaseInsensitive)) {
            error(QStringLiteral("%1: not an .aes container").arg(file));
            ++failures;
            continue;
        }
        const QString target =
            outFolder + (encrypting ? name + QStringLiteral(".aes") : name.left(name.size() - 4));
        if (QFileInfo::exists(target) && !options.force) {
            error(QStringLiteral("%1 已存在同名文件 (--force replaces it)").arg(target));
            ++failures;
            continue;
        }
        FileCryptoError why = FileCryptoError::None;
        bool ok = false;
        {
            ProgressLine progress(encrypting ? QStringLiteral("加密") : QStringLiteral("解密"), name);
            const auto report = [&progress](qint64 done, qint64 total) { progress(done, total); };
            ok = encrypting ? EncryptFileWithKey(source, target, *securityText, report, &why)
                            : DecryptFileWithKey(source, target, *securityText, report, &why);
        }
        if (!ok) {
            error(source + (encrypting ? QStringLiteral("加密失败!") : QStringLiteral("解密失败!")) +
                  QStringLiteral(" (") + failureReason(why, encrypting) + u')');
            ++failures;
            continue;
        }
        QString logError;
        const bool logged = SafeLog::append(
            settings.AppFolder(),
            SafeLog::record(encrypting, QDateTime::currentDateTime(), source, target, storedKey), &logError);
        printTo(stdout, source +
                            (encrypting ? QStringLiteral("加密成功并保存完毕!")
                                        : QStringLiteral("解密成功并保存完毕!")) +
                            QStringLiteral(" -> ") + target);
        if (!logged) {
            // The result stays, but a run whose log lost a record is no success.
            error(QStringLiteral("%1 已保留，但操作记录没能写入 jm.log（%2）").arg(target, logError));
            ++failures;
        }
    }
    return failures == 0 ? Done : Failed;
}

int runSetKey(const Options &options) {
    const SettingsFile settings(options.home);
    ProcessValues values;
    values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
    TerminalDialogs dialogs;
    const QString stored = settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"));
    if (stored.size() == 32 && !options.force) {
        error(QStringLiteral(
            "a security key is set already; files sealed under it could no longer be opened with a new "
            "one. Give --force to replace it."));
        return Failed;
    }
    const QString key = Terminal::readSecret(QStringLiteral("安全密匙：")).value_or(QString());
    if (Terminal::inputIsTerminal() &&
        Terminal::readSecret(QStringLiteral("再次输入安全密匙：")).value_or(QString()) != key) {
        error(QStringLiteral("the two keys differ"));
        return Failed;
    }
    const QString answer = Terminal::readSecret(QStringLiteral("找回密匙答案：")).value_or(QString());
    // The settings window's checks: characters, lengths and the bytes of both.
    SecurityKeyFrame frame(settings, values, dialogs);
    frame.FillFromSettings();
    frame.keyText = key;
    frame.answerText = answer;
    return frame.save() ? Done : Failed;
}

QString packRefusalText(const QString &file, bool sealing, bool replace) {
    const QString target =
        sealing ? DataFilePacker::sealedPathOf(file) : DataFilePacker::unsealedPathOf(file);
    switch (DataFilePacker::refusalOf(file, sealing, replace)) {
    case DataFilePacker::Refusal::None:
        break;
    case DataFilePacker::Refusal::WrongEnding:
        return sealing ? QStringLiteral("%1: 只能打包以 .txt 结尾的文件").arg(file)
                       : QStringLiteral("%1: 只能解包以 .dll 结尾的文件").arg(file);
    case DataFilePacker::Refusal::Missing:
        return QStringLiteral("%1: 该文件不存在！").arg(file);
    case DataFilePacker::Refusal::NotRegular:
        return QStringLiteral("%1: ").arg(file) + notRegularFileText();
    case DataFilePacker::Refusal::SameFile:
        return QStringLiteral("%1 与 %2 是同一个文件（硬链接），写入一个就会改掉另一个").arg(target, file);
    case DataFilePacker::Refusal::TargetExists:
        return QStringLiteral("%1 已存在同名文件 (--force replaces it)").arg(target);
    }
    return QString();
}

int runPack(const Options &options, bool sealing) {
    if (options.words.size() != 2) {
        error(sealing ? QStringLiteral("usage: tackora-cli pack FILE.txt")
                      : QStringLiteral("usage: tackora-cli unpack FILE.dll"));
        return Usage;
    }
    TerminalDialogs dialogs;
    setCryptoMessages(&dialogs);
    const QString masterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
    const QString file = QFileInfo(options.words[1]).absoluteFilePath();
    if (const QString refused = packRefusalText(file, sealing, options.force); !refused.isEmpty()) {
        error(refused);
        return Failed;
    }
    if (sealing) {
        const QString status = DataFilePacker::seal(file, masterKey, options.force);
        const bool ok = status == DataFilePacker::sealSucceededText();
        printTo(ok ? stdout : stderr, status);
        return ok ? Done : Failed;
    }
    switch (DataFilePacker::unseal(file, masterKey, options.force)) {
    case DataFilePacker::UnsealResult::Failed:
        printTo(stderr, DataFilePacker::unsealFailedText());
        return Failed;
    case DataFilePacker::UnsealResult::Mismatch:
        printTo(stdout, DataFilePacker::unsealSucceededText());
        printTo(stderr, DataFilePacker::mismatchText());
        return Failed;
    case DataFilePacker::UnsealResult::Verified:
        printTo(stdout, DataFilePacker::unsealSucceededText());
        printTo(stdout, DataFilePacker::verifiedText());
        return Done;
    }
    return Failed;
}

int runMemos(const Options &options, const QString &at) {
    QDateTime after = QDateTime::currentDateTime();
    if (!at.isEmpty()) {
        after = QDateTime::fromString(at, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!after.isValid()) {
            error(QStringLiteral("--at takes \"YYYY-MM-DD hh:mm:ss\", not \"%1\"").arg(at));
            return Usage;
        }
    }
    const SettingsFile settings(options.home);
    MemoSlots slots;
    slots.LoadMemos(settings);
    for (int n = 0; n < kMemoCount; ++n) {
        const MemoSlot &slot = slots.slot(n);
        printTo(stdout, QStringLiteral("便笺[%1]  %2  %3  %4  %5  %6")
                            .arg(n)
                            .arg(slot.enabled == 1 ? QStringLiteral("on") : QStringLiteral("off"),
                                 slot.period, slot.date, slot.time, slot.title));
        // The next day of a lunar memo follows its lunar date, not its record.
        if (slot.lunar)
            printTo(stdout, QStringLiteral("  lunar: ") + slot.lunar->toText() + QStringLiteral(" (农历") +
                                slot.lunar->chineseName() + u')');
        const NextDue due = nextDue(slot, n, after);
        if (due.when.isValid())
            printTo(stdout,
                    QStringLiteral("  next: ") + due.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                        (due.reason.isEmpty() ? QString() : QStringLiteral("  (") + due.reason + u')'));
        else
            printTo(stdout, QStringLiteral("  next: never (") + due.reason + u')');
        QFile body(memoBodyPath(settings.AppFolder(), n));
        if (body.open(QIODevice::ReadOnly)) {
            const QString text = RtfReader::plainText(body.readAll());
            for (const QString &line : text.split(u'\n'))
                printTo(stdout, QStringLiteral("  | ") + line);
        }
    }
    return Done;
}

} // namespace

QString cliHelp() {
    return QStringLiteral(
        "Usage: tackora-cli [--home DIR] COMMAND ...\n"
        "       tackora-cli --help | --version\n"
        "\n"
        "  safe encrypt FILE... [--out DIR] [--force]\n"
        "        seal each FILE into DIR/FILE.aes under the safe's security key\n"
        "  safe decrypt FILE.aes... [--out DIR] [--force]\n"
        "        open each container into DIR/FILE\n"
        "  safe set-key [--force]\n"
        "        set the security key and its four-character recovery answer\n"
        "  pack FILE.txt [--force]\n"
        "        stamp FILE.txt with its size and seal it into FILE.dll\n"
        "  unpack FILE.dll [--force]\n"
        "        unseal FILE.dll into FILE.txt and check the stamp\n"
        "  memos [--at \"YYYY-MM-DD hh:mm:ss\"]\n"
        "        the nine memos: switch, period, date, time, title, when each falls due next\n"
        "        after --at (default: now) or why it never will, and its body as text\n"
        "\n"
        "  --home DIR   program folder holding setup.ini and jm.log (default: this program's folder\n"
        "               where it is writable and not an installed one, else $XDG_DATA_HOME/tackora,\n"
        "               that is ~/.local/share/tackora unless XDG_DATA_HOME is set)\n"
        "  --out DIR    folder for the results (default: the safe folder of the file box)\n"
        "  --force      replace existing results (FILE.aes, FILE, FILE.dll, FILE.txt); for set-key,\n"
        "               replace a key that is set\n"
        "\n"
        "The security key is asked on the terminal without echo. When standard input is not a\n"
        "terminal, it is read from there, one answer per line (set-key: the key, then the answer).\n"
        "Each file the safe seals or opens adds one line to jm.log, as the file-safe window does.\n"
        "Only regular files are read: a pipe, socket or device is refused.\n"
        "Exit status: 0 done, 1 failed (also when a result is written but its jm.log record is not),\n"
        "2 wrong usage.\n");
}

int runCli(const QStringList &arguments, const QString &executableFolder) {
    if (arguments.contains(QStringLiteral("--version"))) {
        std::printf("tackora-cli %d.%d\n", TACKORA_VERSION_MAJOR, TACKORA_VERSION_MINOR);
        return Done;
    }
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(cliHelp().toLocal8Bit().constData(), stdout);
        return Done;
    }
    const std::optional<Options> options = parseOptions(arguments, executableFolder);
    if (!options || options->words.isEmpty()) {
        std::fputs(cliHelp().toLocal8Bit().constData(), stderr);
        return Usage;
    }
    const QStringList &words = options->words;
    if (words[0] == u"safe" && words.size() >= 2) {
        if (words[1] == u"encrypt")
            return runSafeFiles(*options, true);
        if (words[1] == u"decrypt")
            return runSafeFiles(*options, false);
        if (words[1] == u"set-key" && words.size() == 2)
            return runSetKey(*options);
    }
    if (words[0] == u"memos" && words.size() == 1)
        return runMemos(*options, options->at);
    if (words[0] == u"pack")
        return runPack(*options, true);
    if (words[0] == u"unpack")
        return runPack(*options, false);
    error(QStringLiteral("unknown command: %1").arg(words.join(u' ')));
    std::fputs(cliHelp().toLocal8Bit().constData(), stderr);
    return Usage;
}
