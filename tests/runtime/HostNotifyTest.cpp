#include <runtime/AppRuntime.h>
#include <runtime/image/LibraryInfo.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/UnitTypeInfo.h>
#include <runtime/services/HostNotify.h>
#include <runtime/values/RuntimeHeap.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace runtime;

namespace {

std::intptr_t arg(const void* p) {
    return reinterpret_cast<std::intptr_t>(p);
}

TEST(HostNotify, ProgramFacts) {
    auto& app = AppRuntime::the();
    app.set_program_path("/opt/arm/armctl");
    EXPECT_STREQ(reinterpret_cast<const char*>(host_notify(2003, 0, 0)), "/opt/arm");
    EXPECT_STREQ(reinterpret_cast<const char*>(host_notify(2004, 0, 0)), "armctl");

    struct Case {
        std::intptr_t kind;
        const char* expected;
    } cases[] = {{1, "/opt/arm/"}, {2001, "/opt/arm/"}, {2002, "armctl"}, {7, ""}};
    for (auto& c : cases) {
        char buffer[ProgramPathBufferSize];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(host_notify(1006, c.kind, arg(buffer)), 0);
        EXPECT_STREQ(buffer, c.expected) << c.kind;
    }
    EXPECT_EQ(host_notify(1004, 0, 0), 1);
    EXPECT_EQ(host_notify(1005, 0, 0), 5);
    EXPECT_EQ(host_notify(9999, 1, 2), 0);

    app.set_program_path("armctl");
    EXPECT_STREQ(reinterpret_cast<const char*>(host_notify(2003, 0, 0)), "");
    EXPECT_STREQ(reinterpret_cast<const char*>(host_notify(2004, 0, 0)), "armctl");
}

TEST(HostNotify, MemoryAndValues) {
    auto& heap = RuntimeHeap::the();
    std::size_t before = heap.live_blocks();
    auto* p = reinterpret_cast<char*>(host_notify(2024, 4, 0));
    std::memcpy(p, "abc", 4);
    p = reinterpret_cast<char*>(host_notify(2026, arg(p), 64));
    EXPECT_STREQ(p, "abc");
    host_notify(2025, arg(p), 0);
    EXPECT_EQ(heap.live_blocks(), before);
    EXPECT_EQ(host_notify(2024, static_cast<std::intptr_t>(SIZE_MAX / 2 + 1), 1), 0)
        << "null instead of fatal";

    TypedValue value = TypedValue::of_double(-7.9);
    EXPECT_EQ(host_notify(2001, arg(&value), 0), -7);
}

TEST(HostNotify, EventSourceAndSuppression) {
    auto& app = AppRuntime::the();
    std::uint32_t words[2] = {0xAAAA, 0xBBBB};
    EXPECT_EQ(host_notify(2017, arg(words), 0), 0);
    EXPECT_EQ(words[0], 0xAAAAu);
    app.set_event_source(AppRuntime::EventSource{0x52010001, 0x16010002});
    EXPECT_EQ(host_notify(2017, arg(words), 0), 1);
    EXPECT_EQ(words[0], 0x52010001u);
    EXPECT_EQ(words[1], 0x16010002u);
    app.set_event_source(std::nullopt);

    int suppression = app.event_suppression();
    host_notify(2009, 0, 0);
    EXPECT_EQ(app.event_suppression(), suppression + 1);
    host_notify(2010, 0, 0);
    host_notify(2010, 0, 0);
    EXPECT_EQ(app.event_suppression(), std::max(suppression - 1, 0));
}

TEST(HostNotify, UnitTypeDescriptorByTypeCode) {
    UnitTypeInfo core_types[3] = {};
    core_types[0].english_name = "window";
    core_types[2].english_name = "Label";
    UnitTypeInfo bar_types[1] = {};
    bar_types[0].english_name = "SuperBar";
    LibraryInfo core;
    core.unit_type_count = 3;
    core.unit_types = core_types;
    LibraryInfo bar;
    bar.unit_type_count = 1;
    bar.unit_types = bar_types;
    const LibraryInfo* libraries[] = {&core, &bar};
    ProgramHeader header;
    header.library_count = 2;
    header.libraries = libraries;

    struct Case {
        std::uint32_t code;
        const UnitTypeInfo* expected;
    } cases[] = {
        {0x00010001, &core_types[0]}, {0x00010003, &core_types[2]}, {0x00020001, &bar_types[0]},
        {0x00010002, &core_types[1]}, // an unused slot is returned as it is
        {0x00010004, nullptr},        {0x00010000, nullptr},        {0x00030001, nullptr},
        {0x00000001, nullptr},
    };
    for (auto& c : cases)
        EXPECT_EQ(find_unit_type(header, c.code), c.expected) << std::hex << c.code;

    auto& app = AppRuntime::the();
    ASSERT_FALSE(app.adopt_header(header).is_error());
    EXPECT_EQ(host_notify(1002, 0x00020001, 0), arg(&bar_types[0]));
    ProgramHeader empty;
    ASSERT_FALSE(app.adopt_header(empty).is_error());
}

} // namespace
