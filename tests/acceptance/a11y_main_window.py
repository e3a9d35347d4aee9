"""Black-box check of the main window over the accessibility bus, as a screen reader
or a GUI test tool meets it. Not part of `make test` (it needs a display, a session bus
and at-spi2-core). From the repository folder:

    mkdir -p /tmp/zx-home /tmp/zx-d/Docs && echo hello > /tmp/zx-d/Docs/a.txt
    echo hi > /tmp/zx-d/b.txt    # an empty file window is disabled, and Tab passes it by
    ZENTRIX_HOME=/tmp/zx-home ZENTRIX_DRIVES=D=/tmp/zx-d A11Y_LIMIT=120 \\
      ../shared/acceptance/a11y-run.sh build/zentrix -- tests/acceptance/a11y_main_window.py

ZENTRIX_ACCEPTANCE_DIR names the harness folder when it is not ../shared/acceptance.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.environ.get("ZENTRIX_ACCEPTANCE_DIR", "../shared/acceptance"))
import pyatspi  # noqa: E402
import zx  # noqa: E402


def state(node, st):
    return node.getState().contains(st)


def expect(cond, what):
    if not cond:
        zx.fail(what)
    print("ok:", what)


a = zx.app()
w = zx.main_window(a)
zx.focus_window()
time.sleep(0.5)
zx.pump()

tree = zx.need(w, "MainTreeView")
files = zx.need(w, "MainListBox")
spec = zx.need(w, "hbFileSpec")
spec_text = next(c for c in spec if c.getRoleName() == "text")
drives = zx.need(w, "lbDrives")
bar = zx.need(w, "MainMenu")

# The tree: rows only, named by their directories.
names = [c.name for c in tree]
expect(names and names[0] == "D:\\" and "1" not in names, f"tree rows {names}")

# Values are heard: the current directory and the statistics carry theirs.
expect(zx.need(w, "CurrDirLabel").name.startswith("Current directory: D:\\"), "current directory value")
expect(zx.need(w, "FilesInDirLabel").name.startswith("Files: "), "file count value")

# Tab goes round the four panes.
order = []
for _ in range(4):
    zx.keys("Tab")
    time.sleep(0.2)
    zx.pump()
    order += [n for n, x in (("list", files), ("spec", spec_text), ("drives", drives), ("tree", tree))
              if state(x, pyatspi.STATE_FOCUSED)]
expect(order == ["list", "spec", "drives", "tree"], f"Tab order {order}")

# The menu of the focused pane shows, and says so.
files.queryComponent().grabFocus()
time.sleep(0.4)
zx.pump()
file_menu = next((c for c in bar if c.name == "File"), None)
expect(file_menu is not None and state(file_menu, pyatspi.STATE_SHOWING), "File menu showing")

# The attributes page, then focus requests of a tool.
zx.keys("alt+a")
time.sleep(0.4)
zx.typed("+A")
zx.keys("Return")
time.sleep(0.4)
for name, node in (("tree", tree), ("spec", spec_text), ("drives", drives), ("list", files)):
    node.queryComponent().grabFocus()
    time.sleep(0.3)
    zx.pump()
    expect(state(node, pyatspi.STATE_FOCUSED), f"focus request for {name}")

# The file list's popup menu is on the bus while it shows.
zx.keys("Menu")
time.sleep(0.6)
zx.pump()
expect(zx.by_id(w, "ListBoxPopupMenu") is not None, "file list popup on the bus")
zx.keys("Escape")

# Help: F1 on the file list opens its topic; What is this? shows a hint a reader can read.
zx.keys("F1")
help_window = zx.wait_for(lambda: zx.by_id(a, "HelpWindow"), 10, "help window")
try:
    zx.wait_for(lambda: help_window.name.startswith("Zentrix Help - The file window"), 5,
                "the file window's topic")
except SystemExit:
    print("help window is", help_window.name, [c.name for c in bar])
    raise
expect(True, f"F1 on the file list: {help_window.name}")
zx.keys("Escape")
zx.focus_window()
tree.queryComponent().grabFocus()
time.sleep(0.3)
zx.keys("shift+F1")
ext = tree.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
subprocess.run(["xdotool", "mousemove", str(ext.x + 30), str(ext.y + 10), "click", "1"], check=True)
hint = zx.wait_for(lambda: zx.by_id(a, "lbHint"), 5, "hint")
expect(hint.name.startswith("The directory tree"), "What is this? on the tree")
print("PASS")
