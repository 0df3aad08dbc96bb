#pragma once

// The C++ the design compiler writes for a program: a header that declares
// the program's handlers and constants and names its start window, and a
// source that holds the template stream and constant area as bytes, the
// handler table and the program header that points at all of them.

#include "DesignCompiler.h"

#include <string>
#include <string_view>

namespace designc {

// `header_name` is how the source includes the header; `design_path` is
// named in the files' first comment.
std::string generated_header(const CompiledDesign& design, std::string_view design_path);
std::string generated_source(const CompiledDesign& design, std::string_view header_name,
                             std::string_view design_path);

} // namespace designc
