#pragma once

// The headless arm's output: one line of JSON per command received, and a
// summary when it stops, for scripts and tests to read.
//
//   {"t_ms":1234,"servo":"a","value":90,"clamped":false,"gap_ms":0}
//   {"t_ms":1300,"servo":"b","value":null,"clamped":false,"gap_ms":66}   (empty command)
//   {"summary":{"commands":3,"empty_commands":1,"garbage_bytes":0,
//               "last":{"a":90,"b":null,"c":80,"d":120}}}
//
// Times are milliseconds since the arm started; the first command has
// "gap_ms":null.

#include "ArmSession.h"

#include <string>

namespace arm {

// Without the line end.
std::string command_json(const ReceivedCommand& received, Millis start);
std::string summary_json(const ArmSession& session);

} // namespace arm
