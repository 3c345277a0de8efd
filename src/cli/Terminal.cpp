// SPDX-License-Identifier: MIT
#include "cli/Terminal.h"

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

std::optional<QString> readOneLine() {
    std::string line;
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(stdin)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        line.push_back(char(c));
    }
    if (!any)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromLocal8Bit(line.data(), qsizetype(line.size()));
}

void prompt(const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

bool Terminal::inputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

std::optional<QString> Terminal::readSecret(const QString &text) {
    if (!inputIsTerminal())
        return readOneLine();
    prompt(text);
    termios saved = {};
    const bool canHide = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (canHide) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const std::optional<QString> answer = readOneLine();
    if (canHide)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);
    return answer;
}

std::optional<QString> Terminal::readLine(const QString &text) {
    if (inputIsTerminal())
        prompt(text);
    return readOneLine();
}
