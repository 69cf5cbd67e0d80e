#!/usr/bin/env bash
# Sets up 青柚流水帐 on a fresh Debian 12 machine.
#   tools/setup.sh run    install the packages, build, install into the program folder
#                         ($QYBOOK_HOME, default ~/qybook), create QYBook.qy there when it is
#                         missing, and start the program
#   tools/setup.sh test   install the packages, build with the tests and run them offscreen
set -euo pipefail

mode="${1:-run}"
root="$(cd "$(dirname "$0")/.." && pwd)"
home="${QYBOOK_HOME:-$HOME/qybook}"

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6sql6-sqlite
    libsqlite3-dev libssl-dev libxlsxwriter-dev
    fonts-noto-cjk unzip
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs="$(nproc 2>/dev/null || echo 2)"

case "$mode" in
run)
    build="$root/build-release"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQY_BUILD_TESTS=OFF
    cmake --build "$build" -j "$jobs"
    # The program folder holds the data file; reinstalling never touches an existing one.
    cmake --install "$build" --prefix "$home"
    if [ ! -f "$home/QYBook.qy" ]; then
        "$home/qybook-admin" init "$home/QYBook.qy"
    fi
    exec "$home/qybook"
    ;;
test)
    build="$root/build-test"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQY_WERROR=ON
    cmake --build "$build" -j "$jobs"
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
