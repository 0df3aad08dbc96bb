// SplitText over arbitrary texts and delimiters: the pieces joined with the
// delimiter give back the text, short only of a last delimiter (which makes
// no empty last piece) or of the tail after the limit.
//
// Input: byte 0 the delimiter length (0..3), byte 1 the limit (0xFF: none),
// then the delimiter, then the text.

#include <commands/TextCommands.h>
#include <runtime/services/LibraryCommand.h>
#include <runtime/values/ArrayBlock.h>

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    std::size_t delimiter_length = data[0] % 4;
    int limit = data[1] == 0xFF ? -1 : data[1] % 8;
    std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
    if (rest.size() < delimiter_length)
        return 0;
    std::string delimiter = rest.substr(0, delimiter_length);
    std::string text = rest.substr(delimiter_length);
    if (delimiter.find('\0') != std::string::npos)
        return 0;
    text = text.substr(0, text.find('\0'));

    runtime::TypedValue args[3] = {
        runtime::TypedValue::of_text(text.c_str()), runtime::TypedValue::of_text(delimiter.c_str()),
        limit < 0 ? runtime::TypedValue{} : runtime::TypedValue::of_integer(limit)};
    runtime::TypedValue result = runtime::call_library_command(commands::SplitText, 0, 3, args);
    void* array = result.pointer<void>();
    auto elements = runtime::array_elements(array, sizeof(char*));

    std::string joined;
    for (std::size_t i = 0; i < elements.count; ++i) {
        char* piece;
        std::memcpy(&piece, elements.data + i * sizeof(char*), sizeof piece);
        if (piece && *piece == 0)
            __builtin_trap(); // an empty piece must be null
        if (i)
            joined += delimiter;
        if (piece)
            joined += piece;
    }
    std::size_t pieces = elements.count;
    runtime::release_array(runtime::type_code::Text, array);

    if (limit >= 0 && pieces > static_cast<std::size_t>(limit))
        __builtin_trap();
    if (text.empty() || limit == 0) {
        if (pieces != 0)
            __builtin_trap();
        return 0;
    }
    if (joined == text)
        return 0;
    // Otherwise the pieces end at a delimiter that the text goes on after.
    if (delimiter.empty() ||
        text.compare(0, joined.size() + delimiter.size(), joined + delimiter) != 0)
        __builtin_trap();
    bool limited = limit > 0 && pieces == static_cast<std::size_t>(limit);
    if (!limited && text.size() != joined.size() + delimiter.size())
        __builtin_trap();
    return 0;
}
