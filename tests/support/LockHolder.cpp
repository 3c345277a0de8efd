// SPDX-License-Identifier: MIT
// Holds the program folder's single-instance lock until its standard input
// closes, so tests can check the lock across two real processes.
#include "platform/SingleInstance.h"

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 2)
        return 2;
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    std::puts(instance.acquire() ? "locked" : "refused");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
