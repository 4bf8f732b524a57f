# An XDND drag source for the end-to-end tests, built on GTK as the common file
# managers are: a small window that offers the given files as text/uri-list
# when a drag starts on it. The test presses, moves and releases the mouse with
# xdotool, so the drop reaches the player through the X server.
#   python3 drag_source.py LEFT TOP FILE...     prints "drag ended" at the end
import sys
import urllib.parse

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402


def main():
    if len(sys.argv) < 4:
        print("usage: drag_source.py LEFT TOP FILE...", file=sys.stderr)
        return 2
    uris = ["file://" + urllib.parse.quote(path) for path in sys.argv[3:]]
    window = Gtk.Window(title="keld-drag-source")
    window.set_decorated(False)
    window.set_default_size(60, 60)
    window.move(int(sys.argv[1]), int(sys.argv[2]))
    box = Gtk.EventBox()
    window.add(box)
    box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
    box.drag_source_add_uri_targets()
    box.connect("drag-data-get", lambda _w, _c, data, _i, _t: data.set_uris(uris))

    def ended(_widget, _context):
        print("drag ended", flush=True)
        Gtk.main_quit()

    box.connect("drag-end", ended)
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
    Gtk.main()
    return 0


if __name__ == "__main__":
    sys.exit(main())
