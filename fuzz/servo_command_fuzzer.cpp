// The arm's command parser over arbitrary streams. The stream is read whole,
// then cut into pieces at sizes taken from its own bytes; both readings must
// agree, and every command must carry a letter a to d.

#include <tools/arm/CommandParser.h>

#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> stream(data, size);

    arm::CommandParser whole;
    std::vector<arm::ParsedCommand> whole_out;
    whole.feed(stream, whole_out);
    whole.finish();

    arm::CommandParser cut;
    std::vector<arm::ParsedCommand> cut_out;
    std::size_t at = 0;
    for (std::size_t i = 0; at < size; ++i) {
        std::size_t piece = 1 + data[i % size] % 7;
        piece = std::min(piece, size - at);
        cut.feed(stream.subspan(at, piece), cut_out);
        at += piece;
    }
    cut.finish();

    if (whole_out != cut_out || !(whole.counts() == cut.counts()))
        __builtin_trap();
    if (whole.counts().commands + whole.counts().empty_commands != whole_out.size())
        __builtin_trap();
    if (whole.counts().garbage_bytes > size || whole.pending_bytes() != 0)
        __builtin_trap();
    for (const arm::ParsedCommand& c : whole_out) {
        if (c.servo >= arm::k_servo_count || (c.empty && c.value != 0))
            __builtin_trap();
    }
    return 0;
}
