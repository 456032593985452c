# A native Wayland client for the desktop-session tests: a GTK 3 window with
# the title given and the app id org.example.BrevantoProbe, open until the
# process is ended.
#
#   GDK_BACKEND=wayland python3 gtk_probe_window.py TITLE
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402

GLib.set_prgname("org.example.BrevantoProbe")
window = Gtk.Window(title=sys.argv[1])
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
