"""The wizard as a screen reader and a keyboard-only user meet it.

Run with a session bus of its own (tests/gui/CMakeLists.txt), on a virtual
display of its own: starts `quillmark --demo`, reads its accessibility tree over AT-SPI, then does a
whole update with key presses alone (xdotool) while listening for the status
line's changes, and closes the window from the keyboard.
Usage: screen_reader_walk.py QUILLMARK_PROGRAM
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

SUCCESS = "Firmware update successful! Please reset the board."
# The roles of the controls a user works or reads; each that shows is named.
NAMED_ROLES = {
    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_PROGRESS_BAR,
    pyatspi.ROLE_IMAGE, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON,
}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED: " + what, flush=True)


def until(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.1)
    raise SystemExit("gave up waiting: " + what)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name.lower() == "quillmark":
            return app
    return None


def nodes(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child)


def showing(app):
    return [n for n in nodes(app) if n.getState().contains(pyatspi.STATE_SHOWING)]


def focused(app):
    for node in nodes(app):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return node
    return None


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "50", *names], check=True)


def tab_to(app, name, role):
    """Tab until the control named `name` has the focus; a page's worth at most."""
    for _ in range(25):
        node = focused(app)
        if node is not None and node.name == name and node.getRole() == role:
            return
        key("Tab")
        time.sleep(0.15)
    raise SystemExit("Tab never reached " + name)


def check_setup_page(app):
    controls = showing(app)
    for node in controls:
        if node.getRole() in NAMED_ROLES:
            check(node.name != "", "a showing %s has no name" % node.getRoleName())
    boxes = [n for n in controls if n.name.startswith("MAC address byte")]
    check(len({n.name for n in boxes}) == 8, "8 MAC boxes with different names: %s" % [n.name for n in boxes])
    for node in boxes:
        fixed = node.name in ("MAC address byte 1 of 8", "MAC address byte 2 of 8", "MAC address byte 3 of 8")
        check(node.getState().contains(pyatspi.STATE_READ_ONLY) == fixed, node.name + " read-only as it is fixed")
    names = {n.name for n in controls}
    for name in ("Update Firmware", "Use USB COM port connection", "Board detected"):
        check(name in names, name + " is showing and named")
    check("Update progress" not in names, "the result page's controls are not showing")


def update_by_keyboard(app):
    """Types the MAC, presses Update Firmware and hears the status line until success."""
    tab_to(app, "MAC address byte 4 of 8", pyatspi.ROLE_TEXT)
    subprocess.run(["xdotool", "type", "--delay", "60", "123456789A"], check=True)
    tab_to(app, "Update Firmware", pyatspi.ROLE_PUSH_BUTTON)

    heard = []

    def on_name(event):
        # Read when the event is handled: the label may say a newer text by then.
        text = event.source.name
        heard.append(text)
        if text == SUCCESS:
            pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    GLib.timeout_add_seconds(60, lambda: pyatspi.Registry.stop())
    key("space")
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_name, "object:property-change:accessible-name")
    print("heard: %s" % heard, flush=True)
    check(SUCCESS in heard, "the status line announced success")
    check(len(heard) >= 3, "the status line announced each step, not only the last")
    bars = [n for n in showing(app) if n.name == "Update progress"]
    check(len(bars) == 1 and bars[0].queryValue().currentValue == 100, "the progress bar reports 100")


def start_display():
    """Xvfb on a display it picks itself and names once it accepts connections."""
    reader, writer = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(writer), "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
                            pass_fds=(writer,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(writer)
    with os.fdopen(reader) as named:
        number = named.readline().strip()
    if not number:
        raise SystemExit("Xvfb did not start")
    os.environ["DISPLAY"] = ":" + number
    return xvfb


def main():
    program = sys.argv[1]
    xvfb = start_display()
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    window = subprocess.Popen([program, "--demo"], env=environment)
    try:
        app = until(application, 30, "quillmark on the accessibility bus")
        until(lambda: any(n.name == "Update Firmware" for n in showing(app)), 30, "the setup page")
        window_id = subprocess.run(["xdotool", "search", "--sync", "--name", "Quillmark Firmware Update"],
                                   check=True, capture_output=True, text=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=True)

        check_setup_page(app)
        update_by_keyboard(app)
        tab_to(app, "Close", pyatspi.ROLE_PUSH_BUTTON)
        key("Return")
        check(window.wait(timeout=20) == 0, "Close from the keyboard ends the window")
    finally:
        if window.poll() is None:
            window.terminate()
            window.wait(timeout=20)
        xvfb.terminate()
        xvfb.wait(timeout=20)
    if failures:
        raise SystemExit("%d checks failed" % len(failures))
    print("screen reader walk: every check passed")


if __name__ == "__main__":
    main()
