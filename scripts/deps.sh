#!/usr/bin/env bash
# Installs every package the build, the program and the tests need (Debian 12).
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config make
  qt6-base-dev qt6-base-dev-tools libgl-dev libvulkan-dev
  libgsf-1-dev libbenchmark-dev
  # the benchmark: its start-up driver's mouse (XTest), the peer's workbook writer
  libxtst-dev python3-xlwt
  # the Debian package: its icons drawn from the SVG, its library relations,
  # and the checks of its menu entry, AppStream file and contents
  librsvg2-bin dpkg-dev desktop-file-utils appstream lintian
  # run: Chinese fonts with a Song face, Qt's Chinese texts, Chinese input
  fonts-arphic-uming fonts-noto-cjk fonts-wqy-zenhei
  qt6-translations-l10n fcitx5-frontend-qt6
  # tests: an X server for screenshots and window tests, a keyboard and a
  # mouse for it, the independent .xls reader
  xvfb xauth x11-utils xdotool libx11-dev imagemagick python3 python3-xlrd
  # the pages of the PDF files the program prints, as pictures and text
  poppler-utils
  # LibreOffice Calc: a host the teacher may prefer, and an independent check
  # of the files we write; its SDK for the host's build
  libreoffice-calc libreoffice-l10n-zh-cn libreoffice-dev libreoffice-dev-common
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
