#!/usr/bin/env bash
# Set up a Debian 12 machine for Tessmark, build it, and either start it on a sample test or run
# every test.
#   scripts/dev.sh run     install what is missing, build, start tessmark on samples/sample.ktd
#   scripts/dev.sh test    install what is missing, build, run all tests
#   scripts/dev.sh deps    only install what is missing (scripts/fuzz.sh uses it)
# Environment: BUILD_DIR (default build), TESSMARK_SANITIZE=ON for ASan/UBSan builds,
# TESSMARK_EXTRA_PACKAGES (Debian packages to install as well).
set -euo pipefail

cd "$(dirname "$0")/.."
mode=${1:-run}
build_dir=${BUILD_DIR:-build}
sanitize=${TESSMARK_SANITIZE:-OFF}

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev qt6-qpa-plugins
    libqt6sql6-sqlite libqt6sql6-psql postgresql
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-ipafont-gothic qt6-translations-l10n
    poppler-utils
    dpkg-dev file desktop-file-utils appstream libxml2-utils
    xdg-utils libfile-mimeinfo-perl shared-mime-info
    xvfb xauth dbus
    libglib2.0-bin
)
# Further packages a caller needs (scripts/fuzz.sh: clang and its sanitizer runtime).
read -r -a extra <<<"${TESSMARK_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
[ "$mode" = deps ] && exit 0

cmake -S . -B "$build_dir" -G Ninja -DTESSMARK_SANITIZE="$sanitize"
cmake --build "$build_dir" -j "$(nproc)"

case "$mode" in
run)
    exec "$build_dir/bin/tessmark" samples/sample.ktd
    ;;
test)
    # Window tests run on the offscreen platform; automation tests need a session bus.
    exec dbus-run-session -- ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
    ;;
*)
    echo "usage: $0 run|test|deps" >&2
    exit 2
    ;;
esac
