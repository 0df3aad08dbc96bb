"""The arm controller read and driven through AT-SPI alone: its tree, the
sliders' values, the status line and the table's headings; then COM2 chosen
through the combo box, the port opened, the Gripper set to 90 (exactly 90a
on the line), 45 typed into the Gripper minimum, a pose recorded and played,
the "Stop" box read and closed."""

import atspi_session as s
from atspi_session import Atspi, check

EXPECTED = [
    ("push button", "帮助"), ("push button", "Save"), ("image", "Arm"),
    ("push button", "Stop"), ("label", "Cycle"), ("label", "Speed"), ("text", "Cycle"),
    ("text", "Speed"), ("table", "Actions"), ("push button", "Clean"), ("push button", "Run"),
    ("push button", "Add"), ("label", "Serial"), ("push button", "Open"),
    ("combo box", "Serial"), ("panel", "Port"),
    ("text", "Base maximum"), ("text", "Base minimum"), ("text", "Elbow maximum"),
    ("text", "Elbow minimum"), ("text", "Shoulder maximum"), ("text", "Shoulder minimum"),
    ("text", "Gripper maximum"), ("text", "Gripper minimum"),
    ("label", "Base"), ("label", "Elbow"), ("label", "Shoulder"), ("label", "Gripper"),
    ("label", "Base angle"), ("label", "Elbow angle"), ("label", "Shoulder angle"),
    ("status bar", "Port：Close          Statu：Stop"), ("label", "Gripper angle"),
    ("slider", "Base"), ("slider", "Elbow"), ("slider", "Shoulder"), ("slider", "Gripper"),
    ("panel", "Record and play"), ("panel", "Servos"),
]


def text_of(obj):
    text = obj.get_text_iface()
    return text.get_text(0, -1) if text is not None else None


def test(session):
    surface = s.children(session.frame)[0]
    check(s.role(surface) == "filler", "the window's surface is a filler")
    print("\n".join(["frame '%s'" % session.frame.get_name()] + s.tree_lines(session.frame, 1)))

    got = [(s.role(c), c.get_name()) for c in s.children(surface)]
    check(got == EXPECTED, "the window's units:\n%s" % "\n".join(map(str, got)))
    load = s.find(s.find(surface, "panel", "Record and play"), "push button", "load")
    check(load is not None, "the load button sits in its group box")

    sliders = {}
    for name, value, low, high in [("Gripper", 80, 40, 120), ("Shoulder", 100, 40, 170),
                                   ("Elbow", 80, 40, 150), ("Base", 120, 120, 170)]:
        slider = s.find(surface, "slider", name)
        v = slider.get_value_iface()
        check((v.get_current_value(), v.get_minimum_value(), v.get_maximum_value()) ==
              (value, low, high), "slider %s reads %g [%g..%g]" %
              (name, v.get_current_value(), v.get_minimum_value(), v.get_maximum_value()))
        sliders[name] = slider
    status = s.find(surface, "status bar")
    check(text_of(status) == "Port：Close          Statu：Stop", "the status line's text")
    table = s.find(surface, "table", "Actions").get_table_iface()
    headings = [table.get_column_header(c).get_name() for c in range(5)]
    check(headings == ["", "Gripper", "Shoulder", "Elbow", "Base"], "headings %r" % headings)

    combo = s.find(surface, "combo box", "Serial")
    port_list = s.find(combo, "list")
    check(s.role(port_list) == "list" and port_list.get_child_count() == 10, "the port list")
    port_list.get_selection_iface().select_child(1)
    com2 = port_list.get_child_at_index(1)
    s.wait_for("COM2 chosen",
               lambda: com2.get_state_set().contains(Atspi.StateType.SELECTED))

    s.find(surface, "push button", "Open").get_action_iface().do_action(0)
    s.wait_for("the port open", lambda: text_of(status) == "Port：Open")
    sliders["Gripper"].get_value_iface().set_current_value(90)
    check(session.line_bytes(3) == b"90a", "the Gripper's command")
    check(session.line_quiet() == b"", "nothing but 90a on the line")

    minimum = s.find(surface, "text", "Gripper minimum").get_editable_text_iface()
    minimum.delete_text(0, -1)
    minimum.insert_text(0, "45", 2)
    s.wait_for("the Gripper's new minimum",
               lambda: sliders["Gripper"].get_value_iface().get_minimum_value() == 45)

    s.find(surface, "push button", "Add").get_action_iface().do_action(0)
    cells = s.find(surface, "table", "Actions").get_table_iface()
    s.wait_for("the pose recorded", lambda: cells.get_accessible_at(1, 1).get_name() == "90")
    s.find(surface, "push button", "Run").get_action_iface().do_action(0)
    check(session.line_bytes(14) == b"90a100b80c120d", "the recorded row played")
    alert = s.wait_for("the Stop box", lambda: find_alert(session.app))
    label = s.find(alert, "label")
    check(label is not None and text_of(label) == "Stop", "the box's text")
    row = [cells.get_accessible_at(1, c).get_name() for c in range(5)]
    check(row == ["Action 1", "90", "100", "80", "120"], "row 1 reads %r" % row)
    s.find(alert, "push button").get_action_iface().do_action(0)
    s.wait_for("the box closed", lambda: find_alert(session.app) is None)


def find_alert(app):
    for child in s.children(app):
        if child is not None and s.role(child) == "alert" and \
                child.get_state_set().contains(Atspi.StateType.SHOWING):
            return child
    return None


if __name__ == "__main__":
    s.run(test)
