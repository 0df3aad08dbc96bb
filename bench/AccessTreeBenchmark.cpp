// Building the accessible tree of the arm controller's window from the
// model, as a client's first full read makes the bridge do: every object's
// description (role, name, states, extents, value), its children and, where
// it has one, its text. The arm controller runs in-process on the headless
// display; the goal is a median of at most 5 ms.
//
// Run: build/<dir>/bench/armctl_access_tree_benchmark [ROUNDS]

#include "AppHarness.h"

#include "ArmController_design.h"

#include <tests/support/PtyPair.h>

#include <platform/access/Access.h>
#include <platform/window/WindowSystem.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace platform::access;

// Reads everything under `object`; returns how many objects it read.
int read_all(Object object) {
    int count = 1;
    Node node = describe(object);
    if (node.has_text) {
        TextState text_state;
        text(object, text_state);
    }
    for (Object child : children(object))
        count += read_all(child);
    return count;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 50;
    test_support::PtyPair arm{test_support::PtyPair::SlaveEnd::KeptOpen};
    if (!arm.ok() || rounds < 1) {
        std::fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 1;
    }
    bench::AppHarness harness(arm.slave_path());
    if (!harness.started()) {
        std::fprintf(stderr, "the arm controller did not start\n");
        return 1;
    }
    platform::HWND window = platform::get_ancestor_root(harness.unit_window(app::PortButton));
    std::vector<double> ms;
    int objects = 0;
    for (int i = 0; i < rounds; ++i) {
        std::int64_t start = bench::monotonic_ns();
        objects = read_all({window, 0});
        ms.push_back(static_cast<double>(bench::monotonic_ns() - start) / 1e6);
    }
    double median = bench::percentile(ms, 0.5);
    std::printf("accessible tree of the arm controller's window: %d objects, median %.2f ms, "
                "p99 %.2f ms over %d rounds (goal: median <= 5 ms) %s\n",
                objects, median, bench::percentile(ms, 0.99), rounds,
                median <= 5.0 ? "met" : "NOT MET");
    return 0;
}
