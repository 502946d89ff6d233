#!/usr/bin/env bash
# Checks the Debian package in OUT_DIR: control fields and dependencies, the installed files, the
# desktop entries and icons, and that the packaged programs run from a folder of their own.
#
#   check_package.sh OUT_DIR VERSION
set -uo pipefail
OUT_DIR=$1
VERSION=$2

command -v dpkg-deb >/dev/null || { echo "SKIP: dpkg-deb missing, not a Debian system"; exit 77; }

DEB=$(ls "$OUT_DIR"/*.deb)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavik-package-check.XXXXXX")
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

field() { dpkg-deb --field "$DEB" "$1"; }

# --- control fields ---
[ "$(field Package)" = tavik ] || fail "package name is \"$(field Package)\", not tavik"
[ "$(field Version)" = "$VERSION" ] || fail "package version \"$(field Version)\" differs from $VERSION"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture $(field Architecture)"
DEPENDS=$(field Depends)
echo "Depends: $DEPENDS"
# Package names of the Depends field, without versions and alternatives.
dep_names=$(printf '%s\n' "$DEPENDS" | sed 's/[,|]/\n/g' | sed 's/(.*)//; s/[[:space:]]//g' | grep -v '^$')
for p in libqt6core6 libqt6gui6 libqt6widgets6 librtmidi6 qt6-qpa-plugins libstdc++6 libc6; do
    grep -qx "$p" <<<"$dep_names" || fail "Depends lacks $p"
done
# The fonts are embedded; a font package would only be dead weight.
if grep -q '^fonts-' <<<"$dep_names"; then
    fail "Depends names a font package"
fi

# --- files ---
dpkg-deb -c "$DEB" | awk '{ print $1, $NF }' | sed 's| \./| /|' >"$WORK/list"
expect_file() {
    # expect_file PATH [x]: PATH is in the package as a regular file, executable with x.
    local line
    line=$(grep " $1\$" "$WORK/list") || { fail "missing $1"; return; }
    case "$line" in
    -rwx*) ;;
    -*) [ "${2:-}" != x ] || fail "$1 is not executable" ;;
    *) fail "$1 is not a regular file" ;;
    esac
}
for program in TavikRemote TavikLogo tavik-sim tavikctl; do
    expect_file "/usr/bin/$program" x
    expect_file "/usr/share/man/man1/$program.1.gz"
done
ICON_SIZES="16 24 32 48 64 128 256"
for app in TavikRemote TavikLogo; do
    expect_file "/usr/share/applications/com.kalvenso.$app.desktop"
    for size in $ICON_SIZES; do
        expect_file "/usr/share/icons/hicolor/${size}x${size}/apps/com.kalvenso.$app.png"
    done
    expect_file "/usr/share/icons/hicolor/scalable/apps/com.kalvenso.$app.svg"
done
for doc in LICENSE LICENSE-Comfortaa.txt README.md copyright changelog.gz; do
    expect_file "/usr/share/doc/tavik/$doc"
done
# Nothing outside /usr (no build paths, no test programs).
grep -v ' /usr/' "$WORK/list" | grep -v ' /$' | sed 's/^/FAIL: stray entry: /'
stray=$(grep -v ' /usr/' "$WORK/list" | grep -vc ' /$')
[ "$stray" -eq 0 ] || failures=$((failures + stray))
others=$(grep '^-' "$WORK/list" | grep -v -E ' /usr/(bin/(TavikRemote|TavikLogo|tavik-sim|tavikctl)|share/(applications|icons/hicolor|doc/tavik|man/man1)/)')
[ -z "$others" ] || fail "unexpected files: $others"

ROOT="$WORK/root"
dpkg-deb -x "$DEB" "$ROOT"

# --- desktop entries: valid, and Exec and Icon name what the package installs ---
for app in TavikRemote TavikLogo; do
    entry="$ROOT/usr/share/applications/com.kalvenso.$app.desktop"
    [ -f "$entry" ] || continue
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "desktop-file-validate rejects $(basename "$entry")"
    else
        echo "note: desktop-file-validate missing (package desktop-file-utils), entries not validated"
    fi
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$ROOT/usr/bin/$exec_name" ] || fail "$(basename "$entry"): Exec=$exec_name is not in /usr/bin"
    icon_name=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$ROOT/usr/share/icons/hicolor/48x48/apps/$icon_name.png" ] ||
        fail "$(basename "$entry"): Icon=$icon_name has no 48x48 icon"
done

# --- icons: each PNG is as large as its folder says (width and height from the IHDR chunk) ---
png_size() { od -An -j16 -N8 -tu1 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'; }
for png in "$ROOT"/usr/share/icons/hicolor/*/apps/*.png; do
    folder=$(basename "$(dirname "$(dirname "$png")")")
    [ "$(png_size "$png")" = "$folder" ] || fail "$png is $(png_size "$png"), not $folder"
done
for svg in "$ROOT"/usr/share/icons/hicolor/scalable/apps/*.svg; do
    grep -q '<svg ' "$svg" || fail "$svg is no SVG document"
done

# --- manual pages: gzip-compressed, with the package version in their title line ---
for page in "$ROOT"/usr/share/man/man1/*.1.gz; do
    [ -f "$page" ] || continue
    zcat "$page" | grep -q "^\.TH .*\"Tavik $VERSION\"" || fail "$(basename "$page") has no title line for $VERSION"
done

# --- the newest changelog entry is this version ---
if [ -f "$ROOT/usr/share/doc/tavik/changelog.gz" ]; then
    zcat "$ROOT/usr/share/doc/tavik/changelog.gz" | head -1 | grep -q "^tavik ($VERSION) " ||
        fail "changelog.gz does not start with version $VERSION"
fi

# --- every shared library the programs load comes from a package named in Depends ---
for program in TavikRemote TavikLogo tavik-sim tavikctl; do
    binary="$ROOT/usr/bin/$program"
    [ -x "$binary" ] || continue
    while read -r lib; do
        owner=$(dpkg -S "$lib" 2>/dev/null | head -1 | cut -d: -f1)
        if [ -z "$owner" ]; then
            # /lib and /usr/lib are one folder on Debian 12; dpkg may know the other spelling.
            owner=$(dpkg -S "${lib#/usr}" 2>/dev/null | head -1 | cut -d: -f1)
        fi
        [ -n "$owner" ] || { fail "$program loads $lib, which no package owns"; continue; }
        grep -qx "$owner" <<<"$dep_names" || fail "$program needs $lib from $owner, not in Depends"
    done < <(ldd "$binary" | awk '$2 == "=>" && $3 ~ /^\// { print $3 }' | while read -r l; do
        # Only the libraries the program names itself; the rest are their dependencies' business.
        soname=$(basename "$l")
        readelf -d "$binary" | grep -q "NEEDED.*\[$soname\]" && readlink -f "$l"
    done)
done

# --- the packaged programs answer --version with the package version ---
for program in TavikRemote TavikLogo tavik-sim tavikctl; do
    binary="$ROOT/usr/bin/$program"
    [ -x "$binary" ] || continue
    first=$(cd "$WORK" && QT_QPA_PLATFORM=offscreen JACK_NO_START_SERVER=1 timeout 20 "$binary" --version 2>/dev/null | head -1)
    case "$first" in
    "$program "*"$VERSION"*) ;;
    *) fail "$program --version printed \"$first\"" ;;
    esac
    usage=$(cd "$WORK" && QT_QPA_PLATFORM=offscreen JACK_NO_START_SERVER=1 timeout 20 "$binary" --help 2>/dev/null | head -1)
    case "$usage" in
    "Usage: $program "*) ;;
    *) fail "$program --help printed \"$usage\"" ;;
    esac
done

# --- the packaged TavikRemote starts from an unrelated folder: embedded fonts and style sheet load,
# and its log goes to that folder ---
RUN="$WORK/run"
mkdir -p "$RUN/config"
# Its own settings folder, and a JACK server name nobody uses, so it neither touches the user's
# settings nor joins anyone's JACK session.
(cd "$RUN" && XDG_CONFIG_HOME="$RUN/config" QT_QPA_PLATFORM=offscreen JACK_NO_START_SERVER=1 \
    JACK_DEFAULT_SERVER="tavik-package-check-$$" exec "$ROOT/usr/bin/TavikRemote" --debug \
    >"$RUN/stdout" 2>&1) &
PIDS+=($!)
for _ in $(seq 200); do
    grep -q "Finished MyApplication::MyApplication()." "$RUN/log_messages.txt" 2>/dev/null && break
    sleep 0.1
done
if grep -q "Finished MyApplication::MyApplication()." "$RUN/log_messages.txt" 2>/dev/null; then
    grep -q 'Loaded custom font family "' "$RUN/log_messages.txt" ||
        fail "packaged TavikRemote loaded no embedded font"
    grep -q "Setting style sheet properties from " "$RUN/log_messages.txt" ||
        fail "packaged TavikRemote set no style sheet"
    grep -q "does not exist!" "$RUN/log_messages.txt" && fail "packaged TavikRemote misses a resource"
else
    fail "packaged TavikRemote wrote no start-up log to its working folder within 20 s"
    cat "$RUN/stdout"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed for $DEB"
    exit 1
fi
echo "OK: $DEB"
