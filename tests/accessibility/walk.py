#!/usr/bin/env python3
"""Walks every window of one application over the accessibility bus.

    walk.py APPLICATION_NAME WINDOWS

Waits until the application shows WINDOWS windows, then fails on a control
without a name, on one that should have an action and has none, and on the
question pages' boxes and HELP links without what a screen-reader user
needs: the prompt and requirement in an answer box's name, a label for
every box, HELP as a link named "HELP" with its requirement as description
and a press action that opens the example; and the Contents window's 27
entries, each named by its requirement and state with a press action that
shows that requirement's page alone.
"""
import sys
import time

import pyatspi

DEADLINE = 60

NAMED = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_LINK,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_FRAME,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_DOCUMENT_WEB, pyatspi.ROLE_DOCUMENT_FRAME,
}
ACTING = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LINK, pyatspi.ROLE_PAGE_TAB,
}
PROMPTS = ("Are the requirements met? ", "Is the requirement met? ")
PRESS = ("click", "press", "Press")
STATES = ("complete", "no response yet", "answer reads")
REVIEW_STATE = "Review state of requirement "


def application(name):
    until = time.monotonic() + DEADLINE
    while time.monotonic() < until:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    sys.exit(f"FAIL: the application {name} did not come onto the accessibility bus")


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def labelled(node):
    return any(r.getRelationType() == pyatspi.RELATION_LABELLED_BY
               for r in node.getRelationSet())


def walk(node, window, found, failures):
    # What is hidden (a comment's buttons while it has none) is not there
    # for a screen reader either.
    if not node.getState().contains(pyatspi.STATE_VISIBLE):
        return
    role = node.getRole()
    where = f"{window} / {node.getRoleName()}"
    name = node.name or ""
    if role in NAMED and not name.strip():
        failures.append(f"{where}: no name")
    if role in ACTING and not actions(node):
        failures.append(f"{where} \"{name}\": no action")
    if role == pyatspi.ROLE_LINK:
        found["links"] += 1
        if name == "HELP":
            found["help"].append(node)
            if not node.description:
                failures.append(f"{where} HELP: no requirement as description")
            if not any(a in PRESS for a in actions(node)):
                failures.append(f"{where} HELP: no press action ({actions(node)})")
    if role == pyatspi.ROLE_LIST_ITEM and window == "Contents":
        found["entries"].append(node)
        if not name.startswith("Requirement ") or not any(s in name for s in STATES):
            failures.append(f"{where} \"{name}\": not named with its requirement and state")
        if not any(a in PRESS for a in actions(node)):
            failures.append(f"{where} \"{name}\": no press action")
    if role == pyatspi.ROLE_COMBO_BOX and name.startswith(REVIEW_STATE):
        found["states"] += 1
        if not labelled(node):
            failures.append(f"{where} \"{name}\": no label for it")
        return
    if role == pyatspi.ROLE_COMBO_BOX and window.startswith("Brevant Policies (Page"):
        found["answers"] += 1
        if not name.startswith(PROMPTS) or len(name) <= 30:
            failures.append(f"{where} \"{name}\": not named with its prompt and requirement")
        if not labelled(node):
            failures.append(f"{where} \"{name}\": no label for it")
        return   # its list and typing field are its own
    if role == pyatspi.ROLE_TEXT and name.startswith("Response to requirement"):
        found["responses"] += 1
        if not labelled(node):
            failures.append(f"{where} \"{name}\": no label for it")
        return
    for child in node:
        if child is not None:
            walk(child, window, found, failures)


def main():
    name, windows = sys.argv[1], int(sys.argv[2])
    app = application(name)
    until = time.monotonic() + DEADLINE
    while app.childCount < windows:
        if time.monotonic() > until:
            sys.exit(f"FAIL: {app.childCount} windows on the bus, {windows} expected")
        time.sleep(0.2)

    found = {"links": 0, "help": [], "answers": 0, "responses": 0, "states": 0, "entries": []}
    failures = []
    titles = []
    for window in app:
        if window is None:
            continue
        titles.append(window.name)
        walk(window, window.name or "(untitled window)", found, failures)
    # Every requirement's boxes and HELP, on every page.
    for what, expected in (("answers", 16), ("responses", 27), ("states", 27)):
        if found[what] != expected:
            failures.append(f"{found[what]} {what} found, {expected} expected")
    if len(found["help"]) != 27:
        failures.append(f"{len(found['help'])} HELP links found, 27 expected")

    # The press action does what a click does: the Example window shows
    # that HELP's example in place of the one it showed.
    def example_text():
        for window in app:
            if window is not None and window.name == "Help!":
                return " ".join(c.name or "" for c in window if c is not None)
        return None

    def press(node):
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        action.doAction(next(i for i, a in enumerate(names) if a in PRESS))

    def wait_for(done):
        until = time.monotonic() + DEADLINE
        while not done() and time.monotonic() < until:
            time.sleep(0.2)
        return done()

    before = example_text()
    if before is None:
        failures.append("no Example window on the bus")
    elif found["help"]:
        press(found["help"][-1])
        if not wait_for(lambda: example_text() != before):
            failures.append("HELP's press action did not show its example")

    # A Contents entry's press action shows its requirement's page in place
    # of every page on screen.
    def pages_showing():
        return [w.name for w in app if w is not None and w.name.startswith("Brevant Policies (Page")
                and w.getState().contains(pyatspi.STATE_SHOWING)]

    entries = {e.name.split(",")[0]: e for e in found["entries"]}
    if len(entries) != 27:
        failures.append(f"{len(entries)} Contents entries found, 27 expected")
    elif "Requirement 19" in entries:
        press(entries["Requirement 19"])
        if not wait_for(lambda: pages_showing() == ["Brevant Policies (Page 8 of 10)"]):
            failures.append(f"the press action of requirement 19's entry left {pages_showing()} showing")

    print(f"{len(titles)} windows walked: {', '.join(sorted(t or '?' for t in titles))}")
    print(f"{found['links']} links, {found['answers']} answer boxes, {found['responses']} response boxes, "
          f"{len(found['entries'])} Contents entries")
    if failures:
        print("FAIL:")
        for f in failures:
            print("  " + f)
        sys.exit(1)
    print("every control named, every control that acts with an action")


if __name__ == "__main__":
    main()
