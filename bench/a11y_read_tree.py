"""A client reading the whole tree of the arm controller's window through
AT-SPI: every object's role, name, states, value and text, table cells
included. Prints the median of ROUNDS full reads (goal: at most 300 ms).

    xvfb-run -a dbus-run-session -- /usr/bin/python3 bench/a11y_read_tree.py ARMCTL [ROUNDS]
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "a11y"))
import atspi_session as s  # noqa: E402


def read_all(obj):
    count = 0
    for i in range(obj.get_child_count()):
        child = obj.get_child_at_index(i)
        if child is None:
            continue
        count += 1
        child.get_role()
        child.get_name()
        child.get_state_set()
        value = child.get_value_iface()
        if value is not None:
            value.get_current_value()
        text = child.get_text_iface()
        if text is not None:
            text.get_text(0, -1)
        count += read_all(child)
    return count


def main():
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    session = s.Session(sys.argv[1])
    try:
        times = []
        objects = 0
        for _ in range(rounds):
            # A client that caches would read nothing the second time.
            session.frame.clear_cache()
            start = time.monotonic()
            objects = read_all(session.frame)
            times.append((time.monotonic() - start) * 1000)
        median = statistics.median(times)
        print("AT-SPI client reading the whole window: %d objects, median %.0f ms over %d "
              "rounds (goal: <= 300 ms) %s" % (objects, median, rounds,
                                              "met" if median <= 300 else "NOT MET"))
    finally:
        session.close()


if __name__ == "__main__":
    main()
