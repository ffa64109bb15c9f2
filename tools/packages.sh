# Debian 12 packages the program and its tests need; sourced by the set-up scripts.
RUN_PACKAGES="build-essential cmake pkg-config qt6-base-dev qt6-multimedia-dev qt6-charts-dev qt6-qpa-plugins
  libgl-dev libjpeg62-turbo-dev libfontconfig-dev libcups2-dev libgtest-dev qt6-translations-l10n pulseaudio pulseaudio-utils
  fonts-noto-cjk fonts-ipafont-mincho fonts-kouzan-mouhitsu fonts-aoyagi-kouzan-t
  fp-utils fonts-rocknroll xchm xdg-utils libfile-mimeinfo-perl open-jtalk open-jtalk-mecab-naist-jdic"
TEST_PACKAGES="$RUN_PACKAGES xvfb xauth x11-utils xdotool imagemagick
  cups cups-client printer-driver-cups-pdf poppler-utils desktop-file-utils appstream
  clang libclang-rt-14-dev libx11-dev libxtst-dev stress-ng syncthing curl jq iproute2 openbox python3"

# Installs whatever of the given packages is missing, as root or through sudo.
install_missing() {
    missing=""
    for p in $*; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    if [ "$(id -u)" = 0 ]; then SUDO=""; else SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
}
