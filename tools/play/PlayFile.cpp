#include "PlayFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace play {

namespace {

std::string reason(const std::string& path, const char* why) {
    return path + ": " + why;
}

} // namespace

PlayFile read_play_file(const std::string& path) {
    PlayFile file;
    // Non-blocking, so that a FIFO or a device named by mistake cannot hang
    // the open; it is refused below.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        file.error = reason(path, std::strerror(errno));
        return file;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        file.error = reason(path, std::strerror(errno));
    } else if (S_ISDIR(st.st_mode)) {
        file.error = reason(path, "is a folder, not an action file");
    } else if (!S_ISREG(st.st_mode)) {
        file.error = reason(path, "is not a regular file");
    }
    if (!file.error.empty()) {
        ::close(fd);
        return file;
    }
    // The text ends at the first zero byte, so reading stops there.
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            file.error = reason(path, std::strerror(errno));
            ::close(fd);
            return file;
        }
        if (n == 0)
            break;
        const std::uint8_t* begin = chunk;
        auto* zero = static_cast<const std::uint8_t*>(std::memchr(begin, 0, n));
        bytes.insert(bytes.end(), begin, zero ? zero : begin + n);
        if (zero)
            break;
    }
    ::close(fd);
    file.rows = commands::read_action_rows(bytes);
    file.ok = true;
    return file;
}

} // namespace play
