#pragma once

// What the serial tests build their expectations from: the bytes of a text,
// the entries the serial port engine queues, and the descriptors and threads
// of this process, counted before and after; and an engine whose notices a
// test can wait for.

#include <units/serialport/SerialPortEngine.h>

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace test_support {

inline std::vector<std::uint8_t> byte_vector(const std::string& text) {
    return {text.begin(), text.end()};
}

inline units::SerialEntry event(std::uint8_t code) {
    return {units::SerialEntry::Kind::LineEvent, code};
}

inline std::size_t count_entries(const char* folder) {
    std::size_t count = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

inline std::size_t open_descriptors() {
    return count_entries("/proc/self/fd");
}

inline std::size_t threads() {
    return count_entries("/proc/self/task");
}

// A serial port engine that counts the notices of queued entries. A test
// waits on `signal` under `mutex` until `notified` has moved on.
struct CountedEngine {
    std::mutex mutex;
    std::condition_variable signal;
    std::size_t notified = 0;
    units::SerialPortEngine engine{[this] {
        std::lock_guard lock(mutex);
        ++notified;
        signal.notify_all();
    }};
};

} // namespace test_support
