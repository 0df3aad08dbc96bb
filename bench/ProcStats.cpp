#include "ProcStats.h"

#include <charconv>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace bench {

namespace {

std::optional<std::int64_t> parse_number(std::string_view text) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end == text.data())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::int64_t> stat_cpu_ticks(std::string_view stat_text) {
    const std::size_t close = stat_text.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    // After the name: state is field 3, utime 14 and stime 15.
    std::string_view rest = stat_text.substr(close + 1);
    std::optional<std::int64_t> utime;
    int field = 2;
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        rest.remove_prefix(start);
        const std::size_t end = std::min(rest.find(' '), rest.size());
        const std::string_view token = rest.substr(0, end);
        rest.remove_prefix(end);
        ++field;
        if (field == 14) {
            utime = parse_number(token);
            if (!utime)
                return std::nullopt;
        } else if (field == 15) {
            std::optional<std::int64_t> stime = parse_number(token);
            if (!stime)
                return std::nullopt;
            return *utime + *stime;
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> kb_field(std::string_view text, std::string_view name) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
            line[name.size()] != ':')
            continue;
        line.remove_prefix(name.size() + 1);
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            return std::nullopt;
        line.remove_prefix(start);
        const std::size_t digits = std::min(line.find_first_not_of("0123456789"), line.size());
        return parse_number(line.substr(0, digits));
    }
    return std::nullopt;
}

std::string read_text_file(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<double> process_cpu_ms_of(pid_t pid) {
    clockid_t clock{};
    timespec ts{};
    if (clock_getcpuclockid(pid, &clock) == 0 && clock_gettime(clock, &ts) == 0)
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    std::optional<std::int64_t> ticks =
        stat_cpu_ticks(read_text_file("/proc/" + std::to_string(pid) + "/stat"));
    if (!ticks)
        return std::nullopt;
    return static_cast<double>(*ticks) * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace bench
