#include "app/linux/posix_sleep.h"

#include <cerrno>
#include <ctime>

void sleepMillisecondsPosix(int milliseconds) {
    timespec remaining;
    remaining.tv_sec = milliseconds / 1000;
    remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
