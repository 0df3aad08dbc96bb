#include "FileCommands.h"

#include <platform/Encoding.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace commands {

using runtime::TypedValue;
namespace type_code = runtime::type_code;

namespace {

enum class LockResult { Taken, HeldByAnother };

// A whole-file OFD lock. Only a conflict counts as failure: where the file
// system has no locks the file is used without one.
LockResult lock_whole_file(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    int r;
    do {
        r = fcntl(fd, F_OFD_SETLK, &lock);
    } while (r < 0 && errno == EINTR);
    if (r < 0 && (errno == EAGAIN || errno == EACCES))
        return LockResult::HeldByAnother;
    return LockResult::Taken;
}

// Closes on every path out of a command.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    bool is_open() const { return m_fd >= 0; }
    // Closes now and reports whether the close succeeded.
    bool close() {
        int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

  private:
    int m_fd;
};

std::optional<std::string> name_argument(std::int32_t arg_count, const TypedValue* args) {
    if (arg_count < 1 || args[0].type != type_code::Text)
        return std::nullopt;
    auto name = runtime::text_of(args[0].pointer<const char>());
    if (name.empty())
        return std::nullopt;
    return file_system_name(name);
}

bool is_regular_file(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// Reads up to `size` bytes; stops early at the end of a file that shrank.
// Returns the count read, or nothing on a read error.
std::optional<std::size_t> read_up_to(int fd, std::uint8_t* into, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, into + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool write_all(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void* read_whole_file(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file.is_open() || !is_regular_file(file.get()))
        return nullptr;
    if (lock_whole_file(file.get(), F_RDLCK) == LockResult::HeldByAnother)
        return nullptr;
    struct stat st {};
    if (fstat(file.get(), &st) != 0 || st.st_size <= 0)
        return nullptr;
    // A byte set states its length in 32 bits.
    constexpr auto largest = std::numeric_limits<std::uint32_t>::max() - runtime::ByteSetHeaderSize;
    if (static_cast<std::uint64_t>(st.st_size) > largest)
        return nullptr;
    auto size = static_cast<std::size_t>(st.st_size);

    auto& heap = runtime::RuntimeHeap::the();
    auto* block = static_cast<std::uint8_t*>(heap.allocate(
        runtime::ByteSetHeaderSize + size, runtime::RuntimeHeap::OnFailure::ReturnNull));
    if (!block)
        return nullptr;
    auto count = read_up_to(file.get(), block + runtime::ByteSetHeaderSize, size);
    if (!count || *count == 0) {
        heap.release(block);
        return nullptr;
    }
    if (*count < size)
        block =
            static_cast<std::uint8_t*>(heap.reallocate(block, runtime::ByteSetHeaderSize + *count));
    std::uint32_t header[2] = {1, static_cast<std::uint32_t>(*count)};
    std::memcpy(block, header, sizeof header);
    return block;
}

bool is_byte_set_argument(const TypedValue& value) {
    return value.type == type_code::ByteSet ||
           value.type == (type_code::Byte | type_code::ArrayFlag);
}

} // namespace

std::optional<std::string> file_system_name(std::string_view gbk) {
    std::string utf8;
    if (!platform::gbk_to_utf8(gbk, utf8, platform::InvalidBytes::Fail))
        return std::nullopt;
    return utf8;
}

int open_exclusive_for_writing(const char* file_system_path) {
    int fd = ::open(file_system_path, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        lock_whole_file(fd, F_WRLCK) == LockResult::HeldByAnother) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void ReadFileBytes(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    result->type = type_code::ByteSet;
    if (auto path = name_argument(arg_count, args))
        result->set_pointer(read_whole_file(*path));
}

void WriteFileBytes(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    *result = TypedValue::of_boolean(false);
    std::vector<std::span<const std::uint8_t>> pieces;
    for (std::int32_t i = 1; i < arg_count; ++i) {
        if (args[i].type == type_code::None)
            continue;
        if (!is_byte_set_argument(args[i]))
            return;
        if (args[i].type == type_code::ByteSet) {
            pieces.push_back(runtime::byte_set_bytes(args[i].pointer<const void>()));
        } else {
            auto elements = runtime::array_elements(args[i].pointer<const void>(), 1);
            pieces.push_back({elements.data, elements.count});
        }
    }
    auto path = name_argument(arg_count, args);
    if (!path)
        return;

    FileDescriptor file(open_exclusive_for_writing(path->c_str()));
    if (!file.is_open())
        return;
    // Emptied only once the lock is ours, so a refused write leaves the
    // file as it was.
    int r;
    do {
        r = ::ftruncate(file.get(), 0);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return;
    for (auto bytes : pieces) {
        if (!bytes.empty() && !write_all(file.get(), bytes))
            return;
    }
    if (file.close())
        *result = TypedValue::of_boolean(true);
}

} // namespace commands
