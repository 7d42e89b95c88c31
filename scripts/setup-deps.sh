#!/usr/bin/env bash
# Installs, on a Debian or Ubuntu machine, whatever the build, the tests and the
# window need and is not there yet. Does nothing when all of it is installed.
set -euo pipefail

packages=(
  g++ cmake make git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  fonts-wqy-microhei fonts-dejavu-core
  xvfb xdotool xclip x11-utils imagemagick
  locales
  libdxflib-dev libpugixml-dev python3-ezdxf python3-lxml python3-mpmath poppler-utils
  zlib1g-dev python3-fonttools
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

# The number-text tests run under a comma-decimal locale as well.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
