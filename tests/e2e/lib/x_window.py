#!/usr/bin/env python3
# A plain X11 window owned by another program: prints its id, and destroys it
# (then prints "destroyed") on SIGUSR1.   x_window.py WIDTH HEIGHT
import signal
import sys

import gi
gi.require_version('Gtk', '3.0')
gi.require_version('GdkX11', '3.0')
from gi.repository import Gdk, GdkX11, GLib, Gtk  # noqa: E402,F401

width, height = (int(a) for a in sys.argv[1:3])
window = Gtk.Window()
window.set_default_size(width, height)
window.show_all()
while Gtk.events_pending():
    Gtk.main_iteration()
print(window.get_window().get_xid(), flush=True)


def destroy():
    window.destroy()
    Gdk.Display.get_default().sync()   # gone on the server before we say so
    print("destroyed", flush=True)
    Gtk.main_quit()
    return False


GLib.unix_signal_add(GLib.PRIORITY_HIGH, signal.SIGUSR1, destroy)
Gtk.main()
