# Shared by the Windows build scripts: where things go, and fetching Debian's own sources.
# Sourced, not run.

windows_cache="${TABULOR_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tabulor-windows}"
windows_jobs="${TABULOR_JOBS:-$(nproc)}"
mingw_triplet=x86_64-w64-mingw32
mkdir -p "$windows_cache"

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# The newest versions of Debian source packages, unpacked under $windows_cache/src: their
# folders, one a line, in the order asked. A deb-src entry is added while they are fetched.
debian_sources() {
  local list=/etc/apt/sources.list.d/tabulor-windows-src.sources missing=()
  for package in "$@"; do
    ls -d "$windows_cache/src/$package"/*/ >/dev/null 2>&1 || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    "${as_root[@]}" tee "$list" >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    "${as_root[@]}" apt-get update -qq
    for package in "${missing[@]}"; do
      mkdir -p "$windows_cache/src/$package"
      (cd "$windows_cache/src/$package" && apt-get source -qq "$package" >/dev/null)
    done
    "${as_root[@]}" rm -f "$list"
    "${as_root[@]}" apt-get update -qq
  fi
  for package in "$@"; do
    ls -d "$windows_cache/src/$package"/*/ | head -n 1 | sed 's:/$::'
  done
}

# A short key of a build's inputs: the given strings (its source and options), the toolchain
# file and the compiler. A cached build is reused while its key is the same.
inputs_key() {
  { printf '%s\n' "$@"; cat "$(dirname "${BASH_SOURCE[0]}")/../../cmake/mingw-w64.cmake"
    "$mingw_triplet-g++-posix" --version | head -n 1; } | sha256sum | cut -c1-12
}

# A folder of this machine as a Windows program under Wine names it.
windows_path() { local unix=$1; echo "Z:${unix//\//\\}"; }

# Wine for the cross-built programs: a prefix of its own, quiet, a Chinese system (Wine takes
# its ANSI code page from the locale: 936), and the compiler's runtime DLLs (and any folders
# given) on its search path.
use_wine() {
  export WINEPREFIX="${TABULOR_WINEPREFIX:-$windows_cache/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  local folders=("/usr/lib/gcc/$mingw_triplet/12-posix" "/usr/$mingw_triplet/lib" "$@") path=""
  for folder in "${folders[@]}"; do path+="$(windows_path "$folder");"; done
  export WINEPATH="$path"
  export LC_ALL=zh_CN.UTF-8
  [ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i >/dev/null 2>&1
}

# The Debian packages the Windows build and its tests need.
install_windows_packages() {
  local packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 ninja-build
    tcl zip dpkg-dev xvfb xauth fonts-noto-cjk fonts-dejavu-core cmake pkg-config locales
    qt6-translations-l10n) missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
      "${missing[@]}" >/dev/null
  fi
  # Wine takes the system's code page from the locale, and spells file names in its charset.
  locale -a | grep -qx zh_CN.utf8 || "${as_root[@]}" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
}

# Configures a Windows build of Tabulor against the cross-built libraries and, when a Qt
# prefix is given (not empty), the cross-built Qt.
configure_windows() {
  local build_dir=$1 deps=$2 qt=$3
  shift 3
  local with_qt=(-DTABULOR_BUILD_GUI=OFF)
  [ -n "$qt" ] && with_qt=(-DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  # Libraries found in an earlier cache of the prefixes would be gone: begin afresh.
  if [ -f "$build_dir/CMakeCache.txt" ] &&
    ! grep -qxF "TABULOR_WINDOWS_PREFIXES:UNINITIALIZED=$deps;$qt" "$build_dir/CMakeCache.txt"; then
    rm -f "$build_dir/CMakeCache.txt"
  fi
  PKG_CONFIG_LIBDIR="$deps/lib/pkgconfig" cmake -S . -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DTABULOR_WINDOWS_PREFIXES="$deps;$qt" \
    -DCMAKE_BUILD_TYPE=Release -DTABULOR_WERROR=ON -DTABULOR_BUILD_BENCH=OFF "${with_qt[@]}" "$@" \
    >/dev/null
}

# Builds a configured Windows build and runs its tests under Wine. Wine's server connection now
# and then drops under parallel tests: a test fails only when it fails twice.
build_and_test_under_wine() {
  local build_dir=$1
  cmake --build "$build_dir" -j "$windows_jobs"
  ctest --test-dir "$build_dir" --output-on-failure -j "$windows_jobs" -LE long \
    --repeat until-pass:2
}
