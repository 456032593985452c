#!/usr/bin/env bash
# Run by `make install` after the files are in place: makes the device-access
# rules take effect and refreshes the desktop's caches. udev and systemd read
# rules only from /etc and /usr/lib, so for another prefix the rules are
# linked into /etc. Nothing is done for a staged install (DESTDIR).
set -euo pipefail

prefix=${1:?usage: after-install.sh PREFIX}
[[ -z "${DESTDIR:-}" ]] || exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Not root: the device-access rules in $prefix/lib take effect once linked into /etc" \
       "(see docs/output.md)."
  exit 0
fi

if [[ "$prefix" != /usr ]]; then
  mkdir -p /etc/udev/rules.d /etc/modules-load.d
  for rule in 70-brevanto-uinput.rules 70-brevanto-hidraw.rules; do
    ln -sfn "$prefix/lib/udev/rules.d/$rule" "/etc/udev/rules.d/$rule"
  done
  ln -sfn "$prefix/lib/modules-load.d/brevanto-uinput.conf" /etc/modules-load.d/brevanto-uinput.conf
fi

if command -v modprobe >/dev/null; then modprobe uinput 2>/dev/null || true; fi
if command -v udevadm >/dev/null; then
  udevadm control --reload-rules 2>/dev/null || true
  udevadm trigger --action=change --subsystem-match=misc --sysname-match=uinput 2>/dev/null || true
  udevadm trigger --action=change --subsystem-match=hidraw 2>/dev/null || true
fi
if command -v gtk-update-icon-cache >/dev/null; then
  gtk-update-icon-cache -q -t -f "$prefix/share/icons/hicolor" 2>/dev/null || true
fi
if command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$prefix/share/applications" 2>/dev/null || true
fi
