#include "DesignCompilerTool.h"

#include "DesignCompiler.h"
#include "GeneratedProgram.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace designc {

namespace {

bool write_file(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "%s: error: cannot write the file\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int run_design_compiler(int argc, char** argv, const DesignTypes& types) {
    std::string stream_path;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.starts_with("--stream="))
            stream_path = argument.substr(9);
        else
            paths.push_back(argument);
    }
    if (paths.size() != 3) {
        std::fprintf(stderr, "usage: designc [--stream=FILE] DESIGN OUT.cpp OUT.h\n");
        return 2;
    }
    const std::string& design_path = paths[0];
    // A folder opens as a file that reads as empty, so it is refused first.
    std::error_code folder_error;
    std::ifstream file(design_path, std::ios::binary);
    if (!file || std::filesystem::is_directory(design_path, folder_error)) {
        std::fprintf(stderr, "%s: error: cannot read the design\n", design_path.c_str());
        return 1;
    }
    std::stringstream source;
    source << file.rdbuf();

    auto result = compile_design_source(source.str(), types);
    for (auto& error : result.errors) {
        if (error.line > 0)
            std::fprintf(stderr, "%s:%d: error: %s\n", design_path.c_str(), error.line,
                         error.message.c_str());
        else
            std::fprintf(stderr, "%s: error: %s\n", design_path.c_str(), error.message.c_str());
    }
    if (!result.errors.empty())
        return 1;

    auto header_name = std::filesystem::path(paths[2]).filename().string();
    bool written =
        write_file(paths[1], generated_source(result.design, header_name, design_path)) &&
        write_file(paths[2], generated_header(result.design, design_path));
    if (written && !stream_path.empty()) {
        auto& data = result.design.template_data;
        written =
            write_file(stream_path, {reinterpret_cast<const char*>(data.data()), data.size()});
    }
    return written ? 0 : 1;
}

} // namespace designc
