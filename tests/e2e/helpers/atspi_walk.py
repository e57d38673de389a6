"""Walks a dialog of the running tolvane by Tab as a screen reader hears it, over AT-SPI (run
with the system python3, which has pyatspi, on the program's session bus and display): prints
as JSON the window holding the keyboard, every control's name, role and width, then COUNT times
the focused control's name and role, pressing Tab after each. A combo box is named by its label
(labelled-by), as Qt names it by its value on Linux."""
import json
import os
import subprocess
import sys
import time

import pyatspi

title, count = sys.argv[1], int(sys.argv[2])


def dialog():
    for app in pyatspi.Registry.getDesktop(0):
        for window in app or []:
            if app.name == "tolvane" and window and window.name == title:
                return window
    return None


def spoken(obj):
    if obj.getRoleName() == "combo box":
        for relation in obj.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                return relation.getTarget(0).name
    return obj.name


window = None
for _ in range(100):
    window = dialog()
    if window:
        break
    time.sleep(0.1)
focus = subprocess.run(["xdotool", "getwindowfocus", "getwindowname"], capture_output=True,
                       text=True).stdout.strip()
stops = []
for _ in range(count):
    focused = window and pyatspi.findDescendant(
        window, lambda o: o is not None and o.getState().contains(pyatspi.STATE_FOCUSED))
    stops.append([spoken(focused), focused.getRoleName()] if focused else [None, None])
    subprocess.run(["xdotool", "key", "Tab"])
    time.sleep(0.3)
shown = [[o.name, o.getRoleName(), o.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).width]
         for o in pyatspi.findAllDescendants(window, lambda o: o is not None and o.name)]
print(json.dumps({"focus": focus, "stops": stops, "shown": shown}, ensure_ascii=False))
