# Debian package of the three programs, built with "cpack -G DEB" in a configured build folder
# (scripts/package.sh does all of it). Runtime dependencies come from dpkg-shlibdeps; the fonts are
# embedded, so no font package is needed.
if(NOT DEFINED TAVIK_PACKAGE_NAME)
  set(TAVIK_PACKAGE_NAME tavik)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TAVIK_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Kalvenso")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kalvenso <support@kalvenso.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remote control and logo uploader for Tavik converters")
set(CPACK_PACKAGE_DESCRIPTION
    "Desktop software for the Tavik Neo and Tavik Lux digital audio converters,
which are controlled over MIDI System Exclusive messages.
TavikRemote (Kalvenso Remote) finds every Tavik device on a MIDI port pair
and remote-controls its input status, routing, SMUX, gain faders, sample
rate, clock source and lock. TavikLogo (Tavik Neo Logo Uploader) uploads a
start-up logo and a device name to a Tavik Neo. tavik-sim simulates devices
on virtual MIDI ports, so the software can be tried without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libqt6gui6 only recommends the platform plugins, and without them no window opens.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# JACK serves where no ALSA sequencer exists (containers, some studio set-ups).
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "jackd2, a2jmidid")

# CPack (and "make install") install what is built instead of building every target of the tree
# first: packaging needs only the three programs, not the tests and tools.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(CPack)
