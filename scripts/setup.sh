#!/bin/sh
# Installs the Debian packages the build, the tests and the program need,
# only when some are missing, so repeated `make` calls cost nothing.
set -e
PKGS="cmake g++ make ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev \
libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libyaml-cpp-dev \
clang libclang-rt-14-dev xvfb xauth poppler-utils fonts-dejavu-core fonts-liberation qt6-translations-l10n \
dpkg-dev scdoc desktop-file-utils appstream shared-mime-info"
missing=""
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
echo "Instaluję brakujące pakiety:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing
