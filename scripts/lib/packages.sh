# Installs the Debian packages the build and the tests need, when any is missing.
# Sourced by scripts/demo and scripts/test.

VELMORA_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libudev-dev fonts-liberation2 fonts-urw-base35 librsvg2-bin
  libgtest-dev
  # what the suite checks the installed files and the Debian package with
  dpkg-dev file desktop-file-utils appstream lintian
  # the demo's display on machines without one, served over VNC on loopback
  xvfb x11vnc
)

ensure_packages() {
  local missing=()
  local package
  for package in "${VELMORA_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if ((EUID != 0)); then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}
