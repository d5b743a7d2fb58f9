# The Debian packages the project needs, by purpose. Sourced by the other scripts.
# shellcheck shell=bash

# Building the program.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
  qt6-multimedia-dev libgl-dev fonts-dejavu-core)
# Running the program: the TLS backend's library and a display's helpers come with Qt;
# Qt Multimedia records from the sound input (through the PulseAudio or PipeWire server).
RUN_PACKAGES=(libssl3 qt6-qpa-plugins libqt6multimedia6)
# Building and running the tests: GoogleTest, the fake services' HTTP library, OpenSSL,
# and the media programs the media tests drive for real.
TEST_PACKAGES=(libgtest-dev libgmock-dev libcpp-httplib-dev libssl-dev openssl ffmpeg)
# Checking the installed menu entry and metainfo.
TEST_PACKAGES+=(desktop-file-utils appstream)
# The fuzzers: clang and clang++ 14 with libFuzzer and the sanitizers' runtimes.
FUZZ_PACKAGES=(clang)
# Benchmarks and the screenshot tooling.
BENCH_PACKAGES=(libbenchmark-dev jq xvfb openbox imagemagick x11-utils)
# Making the Debian package: dpkg-shlibdeps computes its dependencies, and CPack uses file
# to find the programs among the installed files.
PACKAGE_PACKAGES=(dpkg-dev file)

# Installs the named packages that are not installed yet; runs apt-get only when needed.
install_missing_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
# The screen-reader check by hand (scripts/accessibility_tree.sh): the accessibility bus
# and its Python client.
ACCESSIBILITY_PACKAGES=(at-spi2-core python3-pyatspi dbus-x11)
