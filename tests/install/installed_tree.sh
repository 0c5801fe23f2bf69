#!/usr/bin/env bash
# installed_tree.sh layout|program <cmake> <build folder>
# Installs the build into a temporary prefix, then either checks what went where, or starts the
# installed program and ends it as a logout would.
set -euo pipefail
check=$1 cmake=$2 build=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

libdir=$(find "$prefix" -type f -name adimage.so -printf '%h\n')
case $libdir in
  "$prefix"/lib/korvane | "$prefix"/lib/*-linux-gnu/korvane) ;;
  *) fail "adimage.so is not in lib/korvane: '$libdir'" ;;
esac

if [ "$check" = layout ]; then
  share=$prefix/share
  desktop-file-validate "$share/applications/org.korvane.Korvane.desktop"
  appstreamcli validate --no-net --strict "$share/metainfo/org.korvane.Korvane.metainfo.xml"
  for f in "$prefix/bin/korvane" "$libdir/korvane_webengine.so" "$share/korvane/td.wav" \
           "$share/korvane/problem.wav" "$share/icons/hicolor/scalable/apps/org.korvane.Korvane.svg"; do
    [ -f "$f" ] || fail "missing $f"
  done
  for unit in user/korvane-headless.service system/korvane-headless.service; do
    grep -q "^ExecStart=$prefix/bin/korvane-headless --headless" "$prefix/lib/systemd/$unit" ||
      fail "$unit does not start the installed helper"
  done
  for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/org.korvane.Korvane.png
    file "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a ${size}x$size picture"
  done
  exit 0
fi

# Nothing but the program and its helper in bin/: what they find, they find in the installed folders.
[ "$(ls "$prefix/bin" | xargs)" = "korvane korvane-headless" ] || fail "bin/ holds more than the programs: $(ls "$prefix/bin")"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$XDG_CONFIG_HOME"
# The web engine is not started here, and leaks are not what this run is about.
export ASAN_OPTIONS=detect_leaks=0
# Nothing is fetched from outside, whatever address the build was given.
export KORVANE_UPDATE_ROOT=
# The loader's trace tells afterwards where the banner library came from.
LD_DEBUG=files LD_DEBUG_OUTPUT=$work/loaded "$prefix/bin/korvane" &
pid=$!

# Up: the handler that saves the settings on SIGTERM is in place.
until (($(awk '/^SigCgt:/ {print "0x" $2}' "/proc/$pid/status" 2>/dev/null || echo 0) >> 14 & 1)); do
  kill -0 "$pid" 2>/dev/null || fail "the installed program ended before it was up"
  sleep 0.2
done
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the installed program ended with $status"
# An installed copy keeps its settings per user, even where it could write beside itself.
grep -q '^\[defaults\]' "$XDG_CONFIG_HOME/Korvane/KV.ini" || fail "no settings saved in the user's folder"
[ ! -e "$prefix/bin/KV.ini" ] || fail "settings saved beside the installed program"
grep -q "calling init: $libdir/adimage.so" "$work"/loaded.* ||
  fail "the banner library was not loaded from $libdir"

# Without a window, the installed program hands over to its helper, which links no window system
# and ends in order on SIGTERM.
"$prefix/bin/korvane" --headless --settings "$work/headless.ini" >"$work/headless.log" &
pid=$!
for _ in $(seq 100); do
  [ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/korvane-headless" ] && grep -q "Korvane Start" "$work/headless.log" && break
  sleep 0.1
done
[ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/korvane-headless" ] || fail "--headless did not hand over to $prefix/bin/korvane-headless"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the headless monitor ended with $status"
