#pragma once

// A pseudo-terminal pair for a program that plays the far end of a serial
// line: the master end stays with this object, the slave end's path is what
// the other program opens as its serial device.
//
// The object keeps a descriptor of the slave end open itself, so the master
// never reports a hang-up while no program holds the line, and the other
// program can close and reopen it as often as it likes. A program that
// opened the line for itself alone (exclusive mode) would otherwise keep it
// locked after closing it, since the terminal lives on while the master is
// open; the close watch lets the owner lift that lock when it goes.

#include <memory>
#include <string>

namespace platform {

class Pty {
  public:
    // Opens a pair with the slave end in raw mode. Null with `error` set on
    // failure.
    static std::unique_ptr<Pty> open(std::string& error);
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // The master end, non-blocking: what the other program writes can be
    // read here.
    int master_fd() const { return m_master; }
    const std::string& slave_path() const { return m_slave_path; }

    // Readable when another program has closed the slave end.
    int close_watch_fd() const { return m_close_watch; }
    // Takes the close notifications that are ready; true when at least one
    // program closed the slave end. Lifts an exclusive mode it left behind.
    bool take_closes();

  private:
    Pty() = default;

    int m_master = -1;
    int m_slave = -1;
    int m_close_watch = -1;
    std::string m_slave_path;
};

} // namespace platform
