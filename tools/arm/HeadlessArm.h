#pragma once

#include "ArmSession.h"

#include <cstdio>

namespace arm {

class ArmLink;

// Runs the arm with no window: one JSON line per command on `out`, and the
// summary when the link stops. Returns the process's exit code: the
// started program's when it ended the run, 128 + the signal number for a
// stop signal.
int run_headless(ArmLink& link, ArmSession& session, Millis start, std::FILE* out);

} // namespace arm
