// Tells Brevanto which window has the focus, so that its application links
// see native Wayland programs too: GNOME Shell shows other programs no
// window but their own.
'use strict';

const {Gio, GLib, Meta} = imports.gi;

const SERVICE = 'example.brevanto.Brevanto';
const PATH = '/example/brevanto/Brevanto/ActiveWindow';
const IFACE = 'example.brevanto.Brevanto.ActiveWindow';
const TIMEOUT_MS = 1000;

class BrevantoFocus {
    constructor() {
        this._focusId = 0;
        this._watchId = 0;
        this._window = null;
        this._titleId = 0;
    }

    enable() {
        this._focusId = global.display.connect('notify::focus-window',
            () => this._focusChanged());
        // Brevanto may start after the shell: it learns the window in front
        // as soon as it is there.
        this._watchId = Gio.bus_watch_name(Gio.BusType.SESSION, SERVICE,
            Gio.BusNameWatcherFlags.NONE, () => this._report(), null);
        this._focusChanged();
    }

    disable() {
        this._forgetWindow();
        if (this._focusId) {
            global.display.disconnect(this._focusId);
            this._focusId = 0;
        }
        if (this._watchId) {
            Gio.bus_unwatch_name(this._watchId);
            this._watchId = 0;
        }
    }

    _focusChanged() {
        this._forgetWindow();
        this._window = global.display.focus_window;
        // A title that changes while the window stays in front is the same
        // window with a new title.
        if (this._window) {
            this._titleId = this._window.connect('notify::title',
                () => this._report());
        }
        this._report();
    }

    _forgetWindow() {
        if (this._window && this._titleId)
            this._window.disconnect(this._titleId);
        this._window = null;
        this._titleId = 0;
    }

    _report() {
        const window = this._window;
        let method = 'NoWindowActive';
        let parameters = null;
        if (window) {
            const type = window.get_window_type();
            method = 'WindowActivated';
            parameters = new GLib.Variant('(sssib)', [
                String(window.get_id()),
                window.get_title() ?? '',
                window.get_wm_class() ?? '',
                Math.max(window.get_pid(), 0),
                type === Meta.WindowType.DESKTOP || type === Meta.WindowType.DOCK,
            ]);
        }
        Gio.DBus.session.call(SERVICE, PATH, IFACE, method, parameters, null,
            Gio.DBusCallFlags.NO_AUTO_START, TIMEOUT_MS, null,
            (connection, result) => {
                try {
                    connection.call_finish(result);
                } catch (e) {
                    // Brevanto is not running, or ignored the report (it
                    // logs why).
                }
            });
    }
}

function init() {
    return new BrevantoFocus();
}
