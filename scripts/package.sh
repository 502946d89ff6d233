#!/usr/bin/env bash
# Builds the Debian package of TavikRemote, TavikLogo and tavik-sim on Debian 12: installs what is
# missing, configures a release build without the tests, builds the three programs and runs CPack.
#
#   scripts/package.sh          writes build-package/tavik_<version>_<arch>.deb
#
# TAVIK_BUILD_DIR chooses another build folder. Install the result with
#   sudo apt-get install ./build-package/tavik_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
-h | --help)
    sed -n '2,8s/^# \{0,1\}//p' "$0"
    exit 0
    ;;
"") ;;
*)
    echo "package.sh: unknown argument \"$1\"; try scripts/package.sh --help" >&2
    exit 2
    ;;
esac

# dpkg-dev brings dpkg-shlibdeps, which finds the package's runtime dependencies; CPack runs it only
# where the file program exists.
source scripts/lib/packages.sh
install_missing_packages "${BUILD_PACKAGES[@]}" dpkg-dev file desktop-file-utils

BUILD_DIR=${TAVIK_BUILD_DIR:-build-package}
# CPack packages what is built here: the three programs, not the tools of the tree.
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DTAVIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target TavikRemote TavikLogo tavik-sim

desktop-file-validate packaging/desktop/*.desktop

rm -f "$BUILD_DIR"/tavik_*.deb
(cd "$BUILD_DIR" && cpack -G DEB)
DEB=$(ls "$BUILD_DIR"/tavik_*.deb)
echo
dpkg-deb --field "$DEB" Package Version Architecture Depends Installed-Size
echo "Package: $DEB ($(stat -c %s "$DEB") bytes)"
