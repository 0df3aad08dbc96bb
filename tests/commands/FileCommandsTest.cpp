#include "CommandTestSupport.h"

#include <commands/FileCommands.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace test_support;
namespace fs = std::filesystem;
namespace type_code = runtime::type_code;

namespace {

using Bytes = std::vector<std::uint8_t>;
using OptionalBytes = std::optional<Bytes>;

class FileCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "armctl-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    // A GBK file name in the folder, and the UTF-8 path the file system sees.
    std::string gbk_name(std::string_view utf8_leaf) const {
        return gbk((m_folder / utf8_leaf).string());
    }
    fs::path path(std::string_view utf8_leaf) const { return m_folder / fs::u8path(utf8_leaf); }

    void put(std::string_view utf8_leaf, std::string_view content) const {
        std::ofstream(path(utf8_leaf), std::ios::binary) << content;
    }
    OptionalBytes on_disk(std::string_view utf8_leaf) const {
        std::ifstream in(path(utf8_leaf), std::ios::binary);
        if (!in)
            return std::nullopt;
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    fs::path m_folder;
};

Bytes bytes_of(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

OptionalBytes read_file(const TypedValue& name) {
    TypedValue result = call(commands::ReadFileBytes, {name});
    EXPECT_EQ(result.type, type_code::ByteSet);
    return take_byte_set(result.pointer<void>());
}

bool write_file(std::vector<TypedValue> args) {
    TypedValue result = call(commands::WriteFileBytes, std::move(args));
    EXPECT_EQ(result.type, type_code::Boolean);
    return result.low() != 0;
}

// A byte set block the caller releases.
struct ByteSetArgument {
    explicit ByteSetArgument(std::string_view bytes)
        : block(runtime::make_byte_set(
              {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})) {}
    ~ByteSetArgument() { runtime::RuntimeHeap::the().release(block); }
    TypedValue value() const { return TypedValue::of_pointer(type_code::ByteSet, block); }
    void* block;
};

TEST_F(FileCommands, ReadFileBytes) {
    HeapBalance balance;
    put("empty.txt", "");
    put("data.bin", std::string("AB\0C", 4));
    put("动作.txt", "10,20\r\n");
    fs::create_directory(path("folder"));
    const std::string names[] = {gbk_name("missing.txt"),
                                 gbk_name("empty.txt"),
                                 gbk_name("data.bin"),
                                 gbk_name("动作.txt"),
                                 gbk_name("folder"),
                                 "",
                                 "\x81"};
    struct Case {
        const char* what;
        TypedValue name;
        OptionalBytes expected;
    } cases[] = {
        {"missing file", TypedValue::of_text(names[0].c_str()), std::nullopt},
        {"empty file", TypedValue::of_text(names[1].c_str()), std::nullopt},
        {"bytes with a zero kept whole", TypedValue::of_text(names[2].c_str()),
         bytes_of(std::string("AB\0C", 4))},
        {"GBK name reaches the UTF-8 file", TypedValue::of_text(names[3].c_str()),
         bytes_of("10,20\r\n")},
        {"a folder is not a file", TypedValue::of_text(names[4].c_str()), std::nullopt},
        {"empty name", TypedValue::of_text(names[5].c_str()), std::nullopt},
        {"null name", TypedValue::of_text(nullptr), std::nullopt},
        {"name that is not GBK fails like a missing file", TypedValue::of_text(names[6].c_str()),
         std::nullopt},
        {"name that is not a text", TypedValue::of_integer(5), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read_file(c.name), c.expected) << c.what;
    EXPECT_EQ(take_byte_set(call(commands::ReadFileBytes, {}).pointer<void>()), std::nullopt)
        << "no argument";
}

TEST_F(FileCommands, WriteFileBytesWritesEveryByteSetInOrder) {
    HeapBalance balance;
    ByteSetArgument first("10,20\r\n");
    ByteSetArgument second(std::string("\0x", 2));
    std::string name = gbk_name("动作.txt");
    EXPECT_TRUE(write_file({TypedValue::of_text(name.c_str()), first.value(),
                            TypedValue::of_pointer(type_code::ByteSet, nullptr), TypedValue{},
                            second.value()}));
    EXPECT_EQ(on_disk("动作.txt"), bytes_of(std::string("10,20\r\n\0x", 9)));
}

TEST_F(FileCommands, WriteFileBytesWithOnlyANameCreatesOrEmptiesTheFile) {
    put("old.txt", "old content");
    std::string fresh = gbk_name("new.txt");
    std::string old = gbk_name("old.txt");
    EXPECT_TRUE(write_file({TypedValue::of_text(fresh.c_str())}));
    EXPECT_EQ(on_disk("new.txt"), Bytes{});
    EXPECT_TRUE(write_file({TypedValue::of_text(old.c_str())}));
    EXPECT_EQ(on_disk("old.txt"), Bytes{});
}

TEST_F(FileCommands, WriteFileBytesRefusals) {
    HeapBalance balance;
    ByteSetArgument data("x");
    put("kept.txt", "kept");
    std::string missing_folder = gbk_name("no-such-folder/a.txt");
    std::string kept = gbk_name("kept.txt");
    std::string folder = m_folder.string();
    struct Case {
        const char* what;
        std::vector<TypedValue> args;
    } cases[] = {
        {"empty name", {TypedValue::of_text(""), data.value()}},
        {"null name", {TypedValue::of_text(nullptr), data.value()}},
        {"no arguments", {}},
        {"folder that does not exist", {TypedValue::of_text(missing_folder.c_str()), data.value()}},
        {"a folder's own name", {TypedValue::of_text(folder.c_str())}},
        {"a number where a byte set belongs",
         {TypedValue::of_text(kept.c_str()), TypedValue::of_integer(5)}},
        {"a text where a byte set belongs",
         {TypedValue::of_text(kept.c_str()), TypedValue::of_text("abc")}},
    };
    for (auto& c : cases)
        EXPECT_FALSE(write_file(c.args)) << c.what;
    EXPECT_EQ(on_disk("kept.txt"), bytes_of("kept")) << "a refused write touches nothing";
    EXPECT_FALSE(fs::exists(path("no-such-folder")));
}

// Another process of ours holds the file open for writing, as WriteFileBytes
// does while it writes: readers get nothing and writers are refused.
TEST_F(FileCommands, AFileHeldForWritingByAnotherProcessIsNeitherReadNorRewritten) {
    HeapBalance balance;
    put("held.txt", "held");
    std::string held_path = path("held.txt").string();
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int fd = commands::open_exclusive_for_writing(held_path.c_str());
        char ok = fd >= 0 ? 'y' : 'n';
        [[maybe_unused]] auto w = write(ready[1], &ok, 1);
        char go;
        [[maybe_unused]] auto r = read(release[0], &go, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y') << "the child took the file";

    std::string name = gbk_name("held.txt");
    ByteSetArgument data("new");
    EXPECT_EQ(read_file(TypedValue::of_text(name.c_str())), std::nullopt);
    EXPECT_FALSE(write_file({TypedValue::of_text(name.c_str()), data.value()}));
    EXPECT_EQ(on_disk("held.txt"), bytes_of("held")) << "the refused writer did not empty it";

    char go = 'g';
    ASSERT_EQ(write(release[1], &go, 1), 1);
    int status = 0;
    waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
    EXPECT_EQ(read_file(TypedValue::of_text(name.c_str())), bytes_of("held"))
        << "free again once the child is gone";
    EXPECT_TRUE(write_file({TypedValue::of_text(name.c_str()), data.value()}));
    EXPECT_EQ(on_disk("held.txt"), bytes_of("new"));
}

} // namespace
