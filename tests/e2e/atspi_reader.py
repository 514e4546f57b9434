#!/usr/bin/python3
"""Reads a running program over the accessibility bus (AT-SPI), as a screen reader does.

  atspi_reader.py APP controls      every showing accessible of APP: "role|name|text", the
                                    text being its text or else its description
  atspi_reader.py APP focus SECONDS the accessibles of APP that take the focus meanwhile,
                                    one "role|name" line each, as they come
Exits 2 when APP does not appear on the bus within ten seconds.
"""
import sys
import time

import pyatspi


def find_app(name):
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.1)
    sys.exit(2)


def text_of(acc):
    """What a screen reader reads of the accessible besides its name: its text, or else the
    description that figures and canvases carry."""
    try:
        text = acc.queryText()
        return text.getText(0, text.characterCount).replace("\n", " ")
    except NotImplementedError:
        return (acc.description or "").replace("\n", " ")


def controls(acc, out):
    try:
        showing = acc.getState().contains(pyatspi.STATE_SHOWING)
        line = "%s|%s|%s" % (acc.getRoleName(), acc.name or "", text_of(acc))
    except Exception:  # gone while it was read
        return
    if showing:
        out.append(line)
    for i in range(acc.childCount):
        controls(acc.getChildAtIndex(i), out)


def focus(app_name, seconds):
    def heard(event):
        if event.detail1 != 1:
            return
        try:
            if event.host_application.name != app_name:
                return
            print("%s|%s" % (event.source.getRoleName(), event.source.name or ""), flush=True)
        except Exception:
            pass

    pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused")
    stop = time.time() + seconds

    def tick():
        if time.time() > stop:
            pyatspi.Registry.stop()
            return False
        return True

    from gi.repository import GLib
    GLib.timeout_add(100, tick)
    print("listening", flush=True)
    pyatspi.Registry.start()


def main():
    app_name, what = sys.argv[1], sys.argv[2]
    if what == "controls":
        out = []
        for i in range(find_app(app_name).childCount):
            controls(find_app(app_name).getChildAtIndex(i), out)
        print("\n".join(out))
    elif what == "focus":
        find_app(app_name)
        focus(app_name, float(sys.argv[3]))


main()
