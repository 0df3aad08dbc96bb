#pragma once

// The program's window template data, whole: the window list buffer
// (w window ids, then w place-holder words for the window objects), then one
// WindowTemplate per window in list order.

#include "WindowTemplate.h"
#include <runtime/values/ErrorOr.h>

#include <cstdint>
#include <span>
#include <vector>

namespace runtime {

// Reads every window and relocates its handlers against the code base.
// Empty data loads no window. Any malformation, including bytes left over
// after the last window, is the error "载入窗口模板数据段出错!".
ErrorOr<std::vector<WindowTemplate>> load_window_templates(std::span<const std::uint8_t> data,
                                                           const void* code_base);

std::vector<std::uint8_t> write_window_templates(const std::vector<WindowTemplate>& windows);

} // namespace runtime
