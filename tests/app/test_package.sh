#!/bin/sh
# Builds the Debian package, unpacks it and checks what a user would install:
# the unpacked program runs, the desktop entry and AppStream data validate,
# and lintian finds no error.
set -eu
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/dialtally-pro_*.deb)
dpkg-deb -x "$deb" "$work/root"

"$work/root/usr/bin/dialtally" --version | grep -q "1.0" || { echo "--version does not say 1.0"; exit 1; }
# One call of 9 December 2025 at noon, costing 0.71 with tax, as the meter logs it.
mkdir "$work/data"
printf '\000\000\000\000\020\166\346\100\000\000\000\000\020\166\346\100\037\205\353\121\020\166\346\100\173\024\256\107\341\172\204\077\004\000\001\000\000\000\000\000\217\302\065\077\232\231\031\077' \
    > "$work/data/Calls.log"
report=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/dialtally" report all --dir "$work/data")
echo "report: $report"
case "$report" in
    "1 call in the log totalling "*"0.71"*) ;;
    *) echo "unexpected report"; exit 1 ;;
esac
for sound in StartTimer StopTimer RunProgram ExitProgram SpendLimit; do
    test -s "$work/root/usr/share/dialtally-pro/$sound.wav" || { echo "$sound.wav missing"; exit 1; }
done

# No invented addresses: no Homepage field until the program has a real page.
if [ -n "$(dpkg-deb -f "$deb" Homepage)" ]; then echo "the package names a Homepage"; exit 1; fi

desktop-file-validate "$work/root/usr/share/applications/dialtally-pro.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/dialtally-pro.metainfo.xml"

lintian --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then
    echo "lintian reports errors"
    exit 1
fi
echo "package checked: $(basename "$deb")"
