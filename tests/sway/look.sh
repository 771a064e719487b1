#!/bin/sh
# Runs the program in a headless sway session, with a bar whose tray hosts the
# notification icon, and takes screenshots (grim) and the window tree
# (swaymsg) at each step. Not part of `make test`: sway refuses to run as
# root, so run it as an ordinary user, e.g.
#   runuser -u nobody -- sh tests/sway/look.sh build/src/app/dialtally /tmp/look wayland
# PLATFORM is wayland (Qt's own) or xcb (through XWayland).
set -eu
program=$(realpath "$1")
out=$2
platform=${3:-wayland}
if [ "$(id -u)" = 0 ]; then echo "sway does not run as root: run this as an ordinary user" >&2; exit 2; fi
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" DIALTALLY_DIR="$work/data"
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$DIALTALLY_DIR"
printf '[Default Setup Information]\r\nTimes Used=1\r\n' > "$DIALTALLY_DIR/Dialtaly.ini"
cat > "$work/sway.conf" <<CONF
output HEADLESS-1 resolution 1280x800
xwayland enable
bar {
    position top
    tray_output *
}
CONF

# Inside a session bus of its own, where the bar's tray and the program meet.
dbus-run-session -- sh -eu -c '
    out=$1 program=$2 platform=$3
    sway -d -c "$HOME/sway.conf" > "$out/sway.log" 2>&1 &
    sway=$!
    for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR"/wayland-1 ] && break; sleep 0.2; done
    export WAYLAND_DISPLAY=wayland-1 SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
    export QT_QPA_PLATFORM=$platform
    if [ "$platform" = xcb ]; then
        swaymsg exec "echo \$DISPLAY > $HOME/display" >/dev/null # the display sway gives its programs
        sleep 1
        export DISPLAY=$(cat "$HOME/display")
    fi
    shot() { sleep "${2:-2}"; grim "$out/$1.png"; swaymsg -t get_tree > "$out/$1.json"; }
    click() { swaymsg "seat seat0 cursor set $1 $2" >/dev/null
              swaymsg "seat seat0 cursor press $3" >/dev/null
              swaymsg "seat seat0 cursor release $3" >/dev/null; }
    # Keys through the Wayland keyboard, or through X11 for an X11 client.
    press() { if [ "$platform" = xcb ]; then sleep 0.3; xdotool key "$1"; sleep 0.3
              else wtype -s 300 $(echo "$1" | sed "s/^alt+\(.*\)/-M alt -s 100 -k \1 -s 100 -m alt/; t; s/^/-k /") -s 300; fi; }
    key() { press "alt+$1"; }
    "$program" > "$out/program.log" 2>&1 &
    shot 1-started 4
    press Return # the box about the missing rate file
    key p; shot 2-past-calls        # the viewer over the window, which stays
    press Escape; shot 3-back
    key b; shot 4-small-box
    key m; key t; shot 5-icon       # back to the window, then to the icon
    # The menu the icon exports, for hosts that draw it (swaybar 1.7 does not: it asks the program).
    item=$(dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems | sed -n "s/^ *string \"\(.*\)\"/\1/p" | head -n1)
    dbus-send --session --print-reply --dest="${item%%/*}" "/${item#*/}" org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierItem string:Menu > "$out/icon-menu.txt" 2>&1 || true
    click 1270 11 button3; shot 6-icon-menu
    press Escape
    "$program" >> "$out/program.log" 2>&1; shot 7-started-again
    key m; shot 8-minimised
    kill "$sway"
' sh "$out" "$program" "$platform"
