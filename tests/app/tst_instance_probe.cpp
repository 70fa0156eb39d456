// Starts as the program does: ends with 3 where another copy runs, else prints "acquired" (also when the lock could
// not be taken for another reason) and holds what it got until its standard input closes.
#include "app/SingleInstanceGuard.h"

#include <cstdio>

int main(int, char *argv[])
{
    lumora::SingleInstanceGuard guard(lumora::SingleInstanceGuard::executablePath(argv[0]));
    if (guard.anotherCopyRuns())
        return 3;
    std::puts("acquired");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
