#pragma once

// Everything the arm waits on, in one wait: bytes from the line, the
// sender closing the line, a stop signal (SIGINT, SIGTERM, SIGHUP), the
// program it started exiting, and a stop request from another thread.
// The window reads the link on a thread of its own; the headless arm on its
// only thread.

#include "ArmModel.h"

#include <string>

namespace platform {
class ChildProcess;
class Pty;
} // namespace platform

namespace arm {

// Blocks the stop signals in the calling thread, so that they reach the
// link's descriptor instead. Call it first thing in main, before any thread
// starts (threads inherit the mask).
bool block_stop_signals();

// Milliseconds on the steady clock.
Millis steady_now();

struct LinkEvent {
    enum class Kind { Bytes, SenderClosed, Signal, ProgramExited, Stopped };
    Kind kind = Kind::Stopped;
    Millis time = 0;
    std::string bytes; // Bytes
    int code = 0;      // Signal: the signal number; ProgramExited: its exit code
};

class ArmLink {
  public:
    // `program` may be null or not running.
    ArmLink(platform::Pty& pty, platform::ChildProcess* program);
    ~ArmLink();
    ArmLink(const ArmLink&) = delete;
    ArmLink& operator=(const ArmLink&) = delete;

    bool open(std::string& error);
    // Waits for the next event. Bytes are read before a close of the line or
    // the program's exit is reported, so nothing the sender wrote is lost.
    LinkEvent wait();
    // Makes a wait in progress (or the next one) return Stopped. Safe from
    // any thread.
    void request_stop();

  private:
    platform::Pty& m_pty;
    platform::ChildProcess* m_program;
    int m_signals = -1;
    int m_stop = -1;
};

} // namespace arm
