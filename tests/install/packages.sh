#!/usr/bin/env bash
# packages.sh <cpack> <build folder>
# Makes the two Debian packages as the README does, checks what each depends on, lets lintian and
# systemd-analyze judge them where they are installed, and runs the server's package on its own.
set -euo pipefail
cpack=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

(cd "$build" && "$cpack" -G DEB -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
desktop=$(echo "$work"/korvane_*.deb) headless=$(echo "$work"/korvane-headless_*.deb)
depends=$(dpkg-deb -f "$headless" Depends)
[[ $depends == *libqt6core6* && $depends == *libqt6sql6-sqlite* ]] ||
  fail "korvane-headless names not all the Qt libraries and plugins it uses: $depends"
[[ $depends != *libqt6widgets* && $depends != *libqt6webengine* && $depends != *libqt6multimedia* ]] ||
  fail "korvane-headless depends on a window library: $depends"
[[ $(dpkg-deb -f "$desktop" Depends) == *"korvane-headless (= "* ]] || fail "korvane does not depend on korvane-headless"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$desktop" "$headless" || fail "lintian found errors"
fi

# The server's package alone: its unit, and its helper with nothing of the desktop beside it.
root=$work/root
dpkg-deb -x "$headless" "$root"
if command -v systemd-analyze >/dev/null; then
  exposure=$(systemd-analyze security --offline=true "$root/usr/lib/systemd/system/korvane-headless.service" |
    sed -n 's/^→ Overall exposure level for .*: \([0-9.]*\) .*/\1/p')
  awk -v e="$exposure" 'BEGIN { exit !(e != "" && e <= 2.5) }' || fail "the system unit's exposure is '$exposure'"
fi
helper=$root/usr/bin/korvane-headless
export XDG_CONFIG_HOME=$work/config
# The list a monitor without a window kept in its earlier folder is still found. Written by root
# into a folder of another user, the file goes to that user.
mkdir -p "$XDG_CONFIG_HOME/korvane"
[ "$(id -u)" -ne 0 ] || chown nobody: "$XDG_CONFIG_HOME/korvane"
echo http://kept.invalid/ >"$work/pages.txt"
"$helper" --import-pages "$work/pages.txt" --settings "$XDG_CONFIG_HOME/korvane/KV.ini" >/dev/null
[ "$(stat -c %U "$XDG_CONFIG_HOME/korvane/KV.ini")" = "$(stat -c %U "$XDG_CONFIG_HOME/korvane")" ] ||
  fail "the imported settings are not their folder's owner's"
[[ $("$helper" --export-pages -) == *'"http://kept.invalid/"'* ]] || fail "the helper lost the earlier list"
[ "$(ls "$root/usr/bin")" = korvane-headless ] || fail "the helper wrote beside itself"

# A service manager's credentials are read where no option names a file; a blank one is none.
mkdir -m 700 "$work/credentials"
while IFS='|' read -r credential content options expected; do
  (umask 077 && printf '%b' "$content" >"$work/credentials/$credential")
  said=$(CREDENTIALS_DIRECTORY=$work/credentials "$helper" $options 2>&1 || true)
  [[ $said == *"$expected"* ]] || fail "$credential '$content': $said"
  rm "$work/credentials/$credential"
done <<'CASES'
secrets|not a secret line\n|--check-once|Secrets file refused
metrics-token|\n|--headless --metrics 192.0.2.1:9101|needs a metrics token
CASES
