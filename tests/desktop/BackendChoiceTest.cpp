#include "platform/BackendChoice.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace platform {
namespace {

// argv as a program gets it, with storage that outlives the call.
struct Args {
    explicit Args(std::vector<std::string> a) : strings(std::move(a)) {
        for (std::string& s : strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        argc = static_cast<int>(strings.size());
    }
    std::vector<std::string> remaining() const {
        std::vector<std::string> out;
        for (int i = 0; i < argc; ++i)
            out.emplace_back(pointers[static_cast<std::size_t>(i)]);
        return out;
    }
    std::vector<std::string> strings;
    std::vector<char*> pointers;
    int argc = 0;
};

TEST(BackendChoice, GtkUnlessToldOtherwise) {
    Args a({"prog", "file.txt"});
    BackendRequest r = read_backend_request(a.argc, a.pointers.data(), nullptr);
    EXPECT_EQ(r.kind, BackendKind::Gtk);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(a.remaining(), (std::vector<std::string>{"prog", "file.txt"}));
}

TEST(BackendChoice, CommandLineOptionIsTakenOutOfTheArguments) {
    Args a({"prog", "-v", "--backend=headless", "file.txt"});
    BackendRequest r = read_backend_request(a.argc, a.pointers.data(), nullptr);
    EXPECT_EQ(r.kind, BackendKind::Headless);
    EXPECT_EQ(a.remaining(), (std::vector<std::string>{"prog", "-v", "file.txt"}));
    EXPECT_EQ(a.pointers[static_cast<std::size_t>(a.argc)], nullptr);

    Args b({"prog", "--backend", "headless", "x"});
    EXPECT_EQ(read_backend_request(b.argc, b.pointers.data(), nullptr).kind, BackendKind::Headless);
    EXPECT_EQ(b.remaining(), (std::vector<std::string>{"prog", "x"}));
}

TEST(BackendChoice, CommandLineWinsOverTheEnvironment) {
    Args a({"prog", "--backend=gtk"});
    EXPECT_EQ(read_backend_request(a.argc, a.pointers.data(), "headless").kind, BackendKind::Gtk);
    Args b({"prog"});
    EXPECT_EQ(read_backend_request(b.argc, b.pointers.data(), "headless").kind,
              BackendKind::Headless);
    Args c({"prog", "--backend=headless"});
    EXPECT_EQ(read_backend_request(c.argc, c.pointers.data(), "bogus").error, "")
        << "an environment value the command line overrides is not looked at";
}

TEST(BackendChoice, UnknownNamesAreErrorsNotFallbacks) {
    Args a({"prog", "--backend=x11"});
    EXPECT_EQ(read_backend_request(a.argc, a.pointers.data(), nullptr).error,
              "unknown backend 'x11' (use gtk or headless)");
    Args b({"prog"});
    EXPECT_EQ(read_backend_request(b.argc, b.pointers.data(), "Headless").error,
              "unknown backend 'Headless' (use gtk or headless) in ARMCTL_BACKEND");
    Args c({"prog", "--backend"});
    EXPECT_NE(read_backend_request(c.argc, c.pointers.data(), nullptr).error, "");
    Args d({"prog", "--backendx=gtk"});
    EXPECT_EQ(read_backend_request(d.argc, d.pointers.data(), nullptr).error, "");
    EXPECT_EQ(d.remaining(), (std::vector<std::string>{"prog", "--backendx=gtk"}))
        << "not our option";
}

} // namespace
} // namespace platform
