// SPDX-License-Identifier: MIT
// The anchor of the settings bench: the least a program does to replace a file
// safely, in C. COUNT times: the bytes of SOURCE into a temporary file in
// FOLDER, fsync, rename over FOLDER/setup.ini, fsync of the folder. Prints the
// microseconds one replace took on average.   replace_anchor SOURCE FOLDER COUNT
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char **argv) {
    static char data[1 << 20];
    const int source = argc == 4 ? open(argv[1], O_RDONLY) : -1;
    const ssize_t size = source < 0 ? -1 : read(source, data, sizeof data);
    const int folder = argc == 4 ? open(argv[2], O_RDONLY | O_DIRECTORY) : -1;
    const long count = argc == 4 ? atol(argv[3]) : 0;
    if (size < 0 || folder < 0 || count <= 0)
        return 2;
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (long i = 0; i < count; ++i) {
        const int fd = openat(folder, "setup.ini.tmp", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0 || write(fd, data, (size_t)size) != size || fsync(fd) != 0 || close(fd) != 0 ||
            renameat(folder, "setup.ini.tmp", folder, "setup.ini") != 0 || fsync(folder) != 0)
            return 1;
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    printf("%.3f\n", ((double)(end.tv_sec - start.tv_sec) * 1e9 + (double)(end.tv_nsec - start.tv_nsec)) /
                         1e3 / (double)count);
    return 0;
}
