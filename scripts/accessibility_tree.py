#!/usr/bin/env python3
"""Prints what a screen reader is told about Parlotext's windows.

Run by scripts/accessibility_tree.sh, which starts a display, the accessibility bus and the
program. Walks the program's accessible tree (role, name, description, states, actions),
then opens the about, feedback and language windows through the menus' own accessible
actions, as a screen reader would, and walks each of them.
"""
import sys
import time

import pyatspi

INTERESTING_STATES = {
    pyatspi.STATE_FOCUSABLE: "focusable",
    pyatspi.STATE_FOCUSED: "focused",
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_CHECKABLE: "checkable",
    pyatspi.STATE_SHOWING: "showing",
    pyatspi.STATE_ENABLED: "enabled",
}


def find_program(timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name and "parlotext" in app.name.lower():
                return app
        time.sleep(0.2)
    sys.exit("Parlotext did not appear on the accessibility bus")


def describe(acc):
    states = acc.getState()
    flags = [name for state, name in INTERESTING_STATES.items() if states.contains(state)]
    actions = []
    try:
        action = acc.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        pass
    text = f"[{acc.getRoleName()}] {acc.name!r}"
    if acc.description:
        text += f" - {acc.description!r}"
    if flags:
        text += " {" + ",".join(flags) + "}"
    if actions:
        text += " actions=" + ",".join(actions)
    return text


def dump(acc, depth=0, only_showing=True):
    if acc is None:
        return
    states = acc.getState()
    if only_showing and depth > 1 and not states.contains(pyatspi.STATE_SHOWING):
        return
    print("  " * depth + describe(acc))
    for child in acc:
        dump(child, depth + 1, only_showing)


def find(acc, role, name):
    if acc is None:
        return None
    if acc.getRoleName() == role and acc.name == name:
        return acc
    for child in acc:
        found = find(child, role, name)
        if found is not None:
            return found
    return None


def press(acc):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("press", "click", "activate", "Press", "Toggle"):
            action.doAction(i)
            return
    action.doAction(0)


def new_window(app, before, timeout=10.0):
    """The first window of the program that was not there before."""
    end = time.time() + timeout
    while time.time() < end:
        for window in app:
            if window is not None and window not in before:
                return window
        time.sleep(0.2)
    return None


def main():
    app = find_program()
    time.sleep(1.0)
    # The Settings button opens the credentials panel, so that its controls are read too.
    for window in app:
        settings = find(window, "push button", "Settings")
        if settings is not None:
            press(settings)
            time.sleep(0.5)
    print("== The main window")
    for window in app:
        dump(window)
    for item in ("About...", "Send Feedback...", "Language..."):
        menu_item = None
        for window in app:
            menu_item = menu_item or find(window, "menu item", item)
        if menu_item is None:
            print(f"== no menu item {item!r}")
            continue
        before = list(app)
        press(menu_item)
        window = new_window(app, before, timeout=3.0)
        print(f"== {item} opens {window.name if window else None!r}")
        if window is not None:
            dump(window)
            # Escape closes the small windows.
            pyatspi.Registry.generateKeyboardEvent(9, None, pyatspi.KEY_PRESSRELEASE)
            time.sleep(0.5)

main()
