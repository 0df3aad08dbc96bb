#include "ArbitraryRate.h"

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace platform::serial {
namespace {

int ioctl_retrying(int fd, unsigned long request, termios2* t) {
    int result;
    do {
        result = ioctl(fd, request, t);
    } while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

bool set_arbitrary_rate(int fd, std::uint32_t rate) {
    termios2 t{};
    if (ioctl_retrying(fd, TCGETS2, &t) < 0)
        return false;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = rate;
    t.c_ospeed = rate;
    if (ioctl_retrying(fd, TCSETS2, &t) < 0)
        return false;
    // Drivers round to what their divisor can make; a rate far from the one
    // asked for is a refusal, not a setting.
    termios2 check{};
    if (ioctl_retrying(fd, TCGETS2, &check) < 0)
        return false;
    std::uint64_t got = check.c_ospeed;
    return got * 100 >= std::uint64_t{rate} * 97 && got * 100 <= std::uint64_t{rate} * 103;
}

std::optional<std::uint32_t> read_rate(int fd) {
    termios2 t{};
    if (ioctl_retrying(fd, TCGETS2, &t) < 0)
        return std::nullopt;
    return t.c_ospeed;
}

} // namespace platform::serial
