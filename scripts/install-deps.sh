#!/usr/bin/env bash
# Installs every Debian package the build, the application and the tests need.
# Safe to run repeatedly: only missing packages are installed.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  qtbase5-dev qtbase5-dev-tools libqt5sql5-sqlite libqt5svg5-dev
  qtdeclarative5-dev qtquickcontrols2-5-dev
  libqt5serialport5-dev libqt5charts5-dev
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-layouts
  qml-module-qtquick-controls qml-module-qtquick-controls2 qml-module-qtquick-templates2
  qml-module-qtquick-dialogs qml-module-qtquick-privatewidgets qml-module-qtgraphicaleffects
  qml-module-qtcharts qml-module-qtqml-models2 qml-module-qt-labs-settings
  qml-module-qt-labs-folderlistmodel qml-module-qttest
  libxlsxwriter-dev
  fonts-dejavu-core fonts-liberation
  qttranslations5-l10n locales
  xvfb xauth x11-utils imagemagick librsvg2-bin xdotool
  python3 python3-openpyxl poppler-utils sqlite3
  zlib1g-dev
  # Packages: dpkg-shlibdeps finds the packages' library dependencies, and the
  # desktop entry is checked with desktop-file-validate.
  dpkg-dev desktop-file-utils
  # The shared archive on a PostgreSQL server: Qt's driver, and the server the
  # tests and benchmarks start in a folder of their own.
  libqt5sql5-psql libpq-dev postgresql
)

# The deep check (scripts/deep-check.sh) builds the fuzz programs with clang
# and its fuzzing runtime; nothing else needs them.
if [ "${1:-}" = "--fuzz" ]; then
  PACKAGES+=(clang libclang-rt-dev)
fi

# Users run the program in the Russian locale; the screenshots and manual
# checks do too, so the locale must exist.
ensure_ru_locale() {
  if locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then return 0; fi
  echo "install-deps: generating the ru_RU.UTF-8 locale"
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  ensure_ru_locale
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
ensure_ru_locale
