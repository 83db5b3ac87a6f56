# Installs the Debian packages that building and testing KAVRO need, if any is missing.
# Sourced by scripts/run and scripts/test.
KAVRO_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libqcustomplot-dev libeigen3-dev nlohmann-json3-dev libsundials-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)

kavro_install_dependencies() {
  local missing=()
  local pkg
  for pkg in "${KAVRO_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
