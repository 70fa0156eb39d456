// Holds the single-instance lock of its own executable until its standard input closes.
#include "app/SingleInstanceGuard.h"

#include <cstdio>

int main(int, char *argv[])
{
    lumora::SingleInstanceGuard guard(lumora::SingleInstanceGuard::executablePath(argv[0]));
    if (!guard.tryAcquire())
        return 3;
    std::puts("acquired");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
