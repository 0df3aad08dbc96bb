#include "Playback.h"

#include <platform/serial/PortMap.h>
#include <units/serialport/SerialPortEngine.h>
#include <units/serialport/SerialPortUnit.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace play {

namespace {

using Clock = std::chrono::steady_clock;

struct Port {
    std::string name; // "COM1 → /dev/ttyUSB0", or the device as given
    std::string path;
};

std::string signal_name(int number) {
    switch (number) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "signal " + std::to_string(number);
    }
}

sigset_t stop_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// Waits until `deadline` or a stop signal; returns the signal, or 0.
int wait_until(Clock::time_point deadline, const sigset_t& signals) {
    for (;;) {
        auto left = deadline - Clock::now();
        if (left < Clock::duration::zero())
            left = Clock::duration::zero();
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec wait{static_cast<time_t>(ns / 1'000'000'000),
                      static_cast<long>(ns % 1'000'000'000)};
        int number = sigtimedwait(&signals, nullptr, &wait);
        if (number > 0)
            return number;
        if (errno == EINTR)
            continue;
        if (Clock::now() >= deadline)
            return 0;
    }
}

double ms_between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

std::string pass_text(std::int64_t pass, const std::optional<std::int64_t>& cycles) {
    return cycles ? std::to_string(pass) + "/" + std::to_string(*cycles) : std::to_string(pass);
}

// The playback's account: the progress line on a terminal, a JSON line
// per step for scripts, and the last word on how far it got.
class Report {
  public:
    Report(const PlayOptions& options, std::size_t steps_per_pass, FILE* out, FILE* err)
        : m_options(options), m_steps_per_pass(steps_per_pass), m_out(out), m_err(err),
          m_progress(!options.json && isatty(fileno(err))) {}

    void step(std::int64_t pass, const Step& done, double t_ms, bool sent) {
        if (sent) {
            ++m_sent;
            m_last_pass = pass;
            m_last_row = done.row;
        }
        if (m_options.json) {
            std::fprintf(m_out,
                         "{\"pass\":%lld,\"row\":%d,\"command\":%s,\"t_ms\":%.3f,\"sent\":%s}\n",
                         static_cast<long long>(pass), done.row, json_string(done.command).c_str(),
                         t_ms, sent ? "true" : "false");
            std::fflush(m_out);
        }
        if (m_progress && sent) {
            std::string left = "-";
            if (m_options.cycles) {
                std::int64_t total =
                    *m_options.cycles * static_cast<std::int64_t>(m_steps_per_pass);
                double seconds =
                    static_cast<double>(total - m_sent) * m_options.interval_ms / 1000.0;
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%.1f s", seconds);
                left = buffer;
            }
            std::fprintf(m_err, "\rpass %s  row %d  %s  time left %s\x1b[K",
                         pass_text(pass, m_options.cycles).c_str(), done.row, done.command.c_str(),
                         left.c_str());
            std::fflush(m_err);
        }
    }

    // The last word; returns the exit code.
    int end(const char* how, int code, const std::string& why) {
        if (m_progress && m_sent > 0)
            std::fputc('\n', m_err);
        std::string where = m_sent == 0 ? "before the first row"
                                        : "after pass " + std::to_string(m_last_pass) + ", row " +
                                              std::to_string(m_last_row);
        std::string rows = std::to_string(m_sent) + (m_sent == 1 ? " row" : " rows") + " sent";
        if (code == exit_code::Played)
            std::fprintf(m_err, "armctl-play: played %s: %s\n", m_options.file.c_str(),
                         rows.c_str());
        else
            std::fprintf(m_err, "armctl-play: %s %s (%s)\n", why.c_str(), where.c_str(),
                         rows.c_str());
        if (m_options.json) {
            std::fprintf(m_out,
                         "{\"end\":\"%s\",\"rows_sent\":%lld,\"last_pass\":%lld,\"last_row\":%d}\n",
                         how, static_cast<long long>(m_sent), static_cast<long long>(m_last_pass),
                         m_last_row);
            std::fflush(m_out);
        }
        return code;
    }

  private:
    const PlayOptions& m_options;
    std::size_t m_steps_per_pass;
    FILE* m_out;
    FILE* m_err;
    bool m_progress;
    std::int64_t m_sent = 0;
    std::int64_t m_last_pass = 0;
    int m_last_row = 0;
};

bool find_port(const PlayOptions& options, Port& port, FILE* err) {
    if (options.device) {
        port = {*options.device, *options.device};
        return true;
    }
    int com = options.port_number();
    auto entry = platform::serial::resolve_port(com, platform::serial::PortRoots::system());
    std::string name = "COM" + std::to_string(com);
    if (!entry) {
        std::fprintf(err, "armctl-play: %s: %s (armctl-ports shows the map)\n", name.c_str(),
                     units::describe(units::PortFailure::NoDevice));
        return false;
    }
    port = {name + " \xE2\x86\x92 " + entry->path, entry->path};
    return true;
}

} // namespace

void print_dry_run(const PlayOptions& options, const std::vector<Step>& steps, FILE* out) {
    std::int64_t passes = options.cycles.value_or(1);
    double t_ms = 0;
    for (std::int64_t pass = 1; pass <= passes; ++pass) {
        for (const Step& step : steps) {
            if (options.json)
                std::fprintf(out, "{\"pass\":%lld,\"row\":%d,\"command\":%s,\"t_ms\":%.3f}\n",
                             static_cast<long long>(pass), step.row,
                             json_string(step.command).c_str(), t_ms);
            else
                std::fprintf(out, "%10.3f s  pass %s  row %3d  %s\n", t_ms / 1000.0,
                             pass_text(pass, options.cycles).c_str(), step.row,
                             step.command.c_str());
            t_ms += options.interval_ms;
        }
    }
    if (options.json)
        std::fprintf(out, "{\"end\":\"%s\",\"t_ms\":%.3f}\n",
                     options.cycles ? "planned" : "repeats", t_ms);
    else if (options.cycles)
        std::fprintf(out, "%10.3f s  end\n", t_ms / 1000.0);
    else
        std::fprintf(out, "%10.3f s  pass 1 again, for ever\n", t_ms / 1000.0);
}

int play_on_port(const PlayOptions& options, const std::vector<Step>& steps, FILE* out, FILE* err) {
    Port port;
    if (!find_port(options, port, err))
        return exit_code::PortNotOpened;

    units::SerialPortUnit::Settings settings;
    settings.set_word(units::SerialPortUnit::BaudRate, 9600);
    units::SerialPortEngine engine([] {});
    units::PortOpenResult opened =
        engine.open(port.path, units::SerialPortUnit::open_settings(settings));
    if (!opened.ok()) {
        std::fprintf(err, "armctl-play: %s: %s\n", port.name.c_str(),
                     units::describe(opened.failure));
        return exit_code::PortNotOpened;
    }

    const sigset_t signals = stop_signals();
    Report report(options, steps.size(), out, err);
    const Clock::time_point start = Clock::now();
    for (std::int64_t pass = 1; !options.cycles || pass <= *options.cycles; ++pass) {
        for (const Step& step : steps) {
            Clock::time_point began = Clock::now();
            bool sent = engine.send(
                {reinterpret_cast<const std::uint8_t*>(step.command.data()), step.command.size()});
            // What the arm sends back is not read; it must not pile up.
            (void)engine.take_entries();
            report.step(pass, step, ms_between(start, began), sent);
            if (!sent) {
                std::string why = engine.is_running() ? "a write to " + port.name + " timed out"
                                                      : "the line to " + port.name + " was lost";
                return report.end("lost", exit_code::LineLost, why);
            }
            if (int number = wait_until(
                    Clock::now() + std::chrono::milliseconds(options.interval_ms), signals))
                return report.end("stopped", exit_code::SignalBase + number,
                                  "stopped by " + signal_name(number));
        }
    }
    return report.end("played", exit_code::Played, "");
}

} // namespace play
