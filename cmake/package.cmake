# `cpack -G DEB` in the build folder packs what `cmake --install` installs,
# under /usr. The libraries the program links are found by dpkg-shlibdeps;
# what Qt loads as plug-ins at run time (the SVG icon engine, the X11
# platform) and Qt's own translations no linker sees, so they are named here.
# The package is made from a finished build; packing never starts one (a
# test packs while other tests run).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PACKAGE_NAME ${TRALVESCO_PROGRAM})
set(CPACK_PACKAGE_VENDOR "Tralvesco Software")
set(CPACK_PACKAGE_CONTACT "Tralvesco Software <support@tralvesco.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "English to Chinese translator and back")
set(CPACK_PACKAGE_DESCRIPTION
  "A small desktop translator: English to Chinese (Simplified or Traditional)\nand back, with an interface in English or Chinese.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tralvesco.com/")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${TRALVESCO_PROGRAM})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wqy-microhei")
include(CPack)
