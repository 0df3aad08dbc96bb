"""A client that asks for what is not there: a bad child index, text offsets
out of range, and an object whose control was destroyed. It gets an error or
an empty answer; the program goes on and logs no critical warning."""

import atspi_session as s
from atspi_session import Atspi, GLib, check


def answer(call):
    """The call's answer, or None when it raised an error."""
    try:
        return call()
    except GLib.Error:
        return None


def test(session):
    surface = s.children(session.frame)[0]
    check(answer(lambda: surface.get_child_at_index(999)) is None, "child 999")
    check(answer(lambda: surface.get_child_at_index(-1)) is None, "child -1")

    speed = s.find(surface, "text", "Speed").get_text_iface()
    check(answer(lambda: speed.get_text(50, 60)) in ("", None), "text past the end")
    piece = answer(lambda: speed.get_string_at_offset(99, Atspi.TextGranularity.WORD))
    check(piece is None or piece.content == "", "a word past the end")
    extents = answer(lambda: speed.get_character_extents(99, Atspi.CoordType.SCREEN))
    check(extents is None or (extents.width, extents.height) == (0, 0), "extents past the end")
    table = s.find(surface, "table", "Actions").get_table_iface()
    check(answer(lambda: table.get_accessible_at(500, 2)) is None, "cell 500,2")

    # The help box's button lives only while the box shows.
    s.find(surface, "push button", "帮助").get_action_iface().do_action(0)
    alert = s.wait_for("the help box", lambda: next(
        (c for c in s.children(session.app) if c is not None and s.role(c) == "alert"), None))
    button = s.find(alert, "push button")
    check(button is not None, "the box's button")
    button.get_action_iface().do_action(0)
    s.wait_for("the button defunct", lambda: defunct(button))
    action = answer(button.get_action_iface)
    check(action is None or answer(lambda: action.do_action(0)) in (False, None),
          "a press on a destroyed button")
    # The program still answers.
    check(s.find(surface, "push button", "Open") is not None, "the window after all that")


def defunct(obj):
    states = answer(obj.get_state_set)
    return states is None or states.contains(Atspi.StateType.DEFUNCT)


if __name__ == "__main__":
    s.run(test)
