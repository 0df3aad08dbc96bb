#include "TextCommands.h"

#include <runtime/values/ArrayBlock.h>
#include <runtime/values/ValueConversion.h>

#include <cstring>

namespace commands {

using runtime::TypedValue;
namespace type_code = runtime::type_code;

namespace {

// Calls on_piece for each piece in order; the walk of the text command.
template <typename OnPiece>
void for_each_piece(std::string_view text, std::string_view delimiter,
                    std::optional<std::uint32_t> limit, OnPiece&& on_piece) {
    if (text.empty() || limit == 0u)
        return;
    if (delimiter.empty()) {
        on_piece(text);
        return;
    }

    const char* const end = text.data() + text.size();
    const char* scan = text.data();
    const char* piece_start = scan;
    const std::size_t d = delimiter.size();
    const char first = delimiter[0];
    while (static_cast<std::size_t>(end - scan) >= d) {
        if (*scan == first && std::memcmp(scan, delimiter.data(), d) == 0) {
            on_piece(std::string_view(piece_start, static_cast<std::size_t>(scan - piece_start)));
            scan += d;
            piece_start = scan;
            if (limit && --*limit == 0)
                return;
            continue;
        }
        if (static_cast<unsigned char>(*scan) >= 0x80) {
            // A lead byte at the very end stays in the last piece.
            if (end - scan == 1)
                break;
            scan += 2;
        } else {
            scan += 1;
        }
    }
    if (piece_start != end)
        on_piece(std::string_view(piece_start, static_cast<std::size_t>(end - piece_start)));
}

} // namespace

std::vector<std::string_view> split_pieces(std::string_view text, std::string_view delimiter,
                                           std::optional<std::uint32_t> limit) {
    std::vector<std::string_view> pieces;
    for_each_piece(text, delimiter, limit,
                   [&](std::string_view piece) { pieces.push_back(piece); });
    return pieces;
}

void SplitText(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    std::string_view text;
    if (arg_count >= 1 && args[0].type == type_code::Text)
        text = runtime::text_of(args[0].pointer<const char>());

    std::string_view delimiter = ",";
    if (arg_count >= 2 && args[1].type == type_code::Text)
        delimiter = runtime::text_of(args[1].pointer<const char>());

    std::optional<std::uint32_t> limit;
    if (arg_count >= 3 && args[2].type != type_code::None) {
        if (auto count = runtime::try_integer_from_value(args[2]))
            limit = static_cast<std::uint32_t>(std::max(*count, 0));
    }

    // Reused from call to call: splitting each line of a file into its
    // fields would otherwise cost a vector allocation per line.
    thread_local std::vector<char*> texts;
    texts.clear();
    for_each_piece(text, delimiter, limit,
                   [](std::string_view piece) { texts.push_back(runtime::make_text(piece)); });
    result->type = type_code::Text | type_code::ArrayFlag;
    result->set_pointer(runtime::make_text_array(texts));
}

} // namespace commands
