"""Walks a dialog of the running tolvane by Tab as a screen reader hears it, over AT-SPI (run
with the system python3, which has pyatspi, on the program's session bus and display): prints
as JSON the window holding the keyboard, every named control's name, role and width, then COUNT
times the focused control's name and role, pressing Tab after each. A combo box is named by its
label (labelled-by): Qt names it by its value on Linux."""
import json
import subprocess
import sys
import time

import pyatspi


def dialog(title):
    for app in pyatspi.Registry.getDesktop(0):
        for window in app if app and app.name == "tolvane" else []:
            if window and window.name == title:
                return window
    return None


def spoken(obj):
    for relation in obj.getRelationSet() if obj.getRoleName() == "combo box" else []:
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return obj.name


title, count = sys.argv[1], int(sys.argv[2])
for _ in range(100):
    window = dialog(title)
    if window:
        break
    time.sleep(0.1)
run = {"focus": subprocess.run(["xdotool", "getwindowfocus", "getwindowname"],
                               capture_output=True, text=True).stdout.strip(), "stops": []}
for _ in range(count):
    obj = pyatspi.findDescendant(window, lambda o: o and o.getState().contains(pyatspi.STATE_FOCUSED))
    run["stops"].append([spoken(obj), obj.getRoleName()] if obj else [None, None])
    subprocess.run(["xdotool", "key", "Tab"])
    time.sleep(0.3)
run["shown"] = [[o.name, o.getRoleName(), o.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).width]
                for o in pyatspi.findAllDescendants(window, lambda o: o and o.name)]
print(json.dumps(run, ensure_ascii=False))
