# Installs the Debian packages that building and testing KAVRO need, if any is missing.
# Sourced by scripts/run and scripts/test.
KAVRO_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libqcustomplot-dev libeigen3-dev nlohmann-json3-dev libsundials-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  locales
  groff fonts-dejavu-core
)

# Arguments: further packages that only the caller needs (scripts/test: the formatter).
kavro_install_dependencies() {
  local missing=()
  local pkg
  for pkg in "${KAVRO_PACKAGES[@]}" "$@"; do
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

# The number readers are tested under a desktop locale that writes a decimal comma; a
# fresh Debian machine has no such locale until it is generated from the locales package.
KAVRO_DECIMAL_COMMA_LOCALE="de_DE.UTF-8"

kavro_provide_decimal_comma_locale() {
  local installed
  installed="$(locale -a 2>/dev/null || true)"
  if grep -qix 'de_DE\.utf-\?8' <<<"$installed"; then
    return 0
  fi
  echo "Generating the locale $KAVRO_DECIMAL_COMMA_LOCALE for the tests"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo "de_DE.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
}
