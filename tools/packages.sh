# Sourced by the scripts that install what they need, so that each list is written once.
# What builds the host tests, the Linux program and its package, and runs their tests.
build_packages=(cmake g++ make libgtest-dev googletest)
linux_packages=(pkg-config libgtk-3-dev libwebkit2gtk-4.1-dev libx11-dev libxfixes-dev libxi-dev
                xvfb xauth xdotool xserver-xephyr imagemagick dpkg-dev file lintian debootstrap)
# Node.js and npm from Debian where the machine has none of its own (the emulator and the
# player tests come from npm).
node_packages() {
  command -v node >/dev/null || echo nodejs
  command -v npm >/dev/null || echo npm
}
# Installs what the linux preset needs and configures it, npm trusting the machine's CA file.
prepare_linux_preset() {
  bash tools/install-packages.sh "${build_packages[@]}" "${linux_packages[@]}" $(node_packages)
  . tools/node-ca.sh
  cmake --preset linux >/dev/null
}
