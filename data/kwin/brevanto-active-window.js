// Tells Brevanto which window is active, so that its application links see
// native Wayland programs too. Brevanto loads this script into KWin over
// D-Bus when it starts and unloads it when it ends.

const service = "example.brevanto.Brevanto";
const path = "/example/brevanto/Brevanto/ActiveWindow";
const iface = "example.brevanto.Brevanto.ActiveWindow";

// Some window properties reach scripts as byte arrays, some as strings.
function text(value) {
    if (value === undefined || value === null) {
        return "";
    }
    if (typeof value === "string") {
        return value;
    }
    if (value instanceof ArrayBuffer) {
        return String.fromCharCode.apply(null, new Uint8Array(value));
    }
    return String(value);
}

function report(client) {
    if (!client) {
        callDBus(service, path, iface, "NoWindowActive");
        return;
    }
    const pid = client.pid > 0 ? client.pid : 0;
    const desktopOrDock = client.desktopWindow === true || client.dock === true;
    callDBus(service, path, iface, "WindowActivated", text(client.internalId),
             text(client.caption), text(client.resourceClass), pid, desktopOrDock);
}

let watched = null;

function captionChanged() {
    if (watched) {
        report(watched);
    }
}

function activated(client) {
    if (watched) {
        watched.captionChanged.disconnect(captionChanged);
    }
    watched = client;
    if (watched) {
        watched.captionChanged.connect(captionChanged);
    }
    report(client);
}

// Plasma 6 speaks of windows where Plasma 5 spoke of clients.
if (workspace.windowActivated) {
    workspace.windowActivated.connect(activated);
    activated(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(activated);
    activated(workspace.activeClient);
}
