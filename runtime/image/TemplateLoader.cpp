#include "TemplateLoader.h"

#include "TemplateStreamReader.h"
#include "TemplateStreamWriter.h"

namespace runtime {

ErrorOr<std::vector<WindowTemplate>> load_window_templates(std::span<const std::uint8_t> data,
                                                           const void* code_base) {
    std::vector<WindowTemplate> windows;
    if (data.empty())
        return windows;

    TemplateStreamReader reader(data);
    std::uint32_t list_length = RUNTIME_TRY(reader.read_word());
    auto list = RUNTIME_TRY(reader.read_bytes(list_length));
    if (list_length % 8 != 0)
        return template_data_error();
    std::size_t window_count = list_length / 8;

    // The object half of the list holds place holders; only the ids count.
    TemplateStreamReader ids(list.first(window_count * 4));
    windows.reserve(window_count);
    for (std::size_t i = 0; i < window_count; ++i) {
        std::uint32_t window_id = RUNTIME_TRY(ids.read_word());
        windows.push_back(RUNTIME_TRY(WindowTemplate::read(reader, window_id)));
    }
    if (!reader.at_end())
        return template_data_error();

    for (auto& window : windows)
        window.relocate(code_base);
    return windows;
}

std::vector<std::uint8_t> write_window_templates(const std::vector<WindowTemplate>& windows) {
    TemplateStreamWriter list;
    for (auto& window : windows)
        list.write_word(window.window_id);
    for (std::size_t i = 0; i < windows.size(); ++i)
        list.write_word(0);

    TemplateStreamWriter writer;
    writer.write_buffer(list.bytes());
    for (auto& window : windows)
        window.write(writer);
    return writer.take();
}

} // namespace runtime
