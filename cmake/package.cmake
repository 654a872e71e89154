# `cpack -G DEB` in the build folder packs what `cmake --install` installs,
# under /usr. The libraries the program links are found by dpkg-shlibdeps;
# what Qt loads as plug-ins at run time (the SVG icon engine, the X11
# platform), what the program opens itself (libcurl) and Qt's own
# translations no linker sees, so they are named here.
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
# The debug information goes into a -dbgsym package of its own (which
# strips the program in the main one), rather than being thrown away.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TRALVESCO_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Showing Chinese is the point of the program: without a CJK font every
# Chinese caption is a row of boxes. Any of these will do. libcurl is opened
# at the first translation (translate/curl_library.cpp), so no linker sees it
# either; 7.85 brought the protocol list the client sets.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libcurl4 (>= 7.85.0), libqt6svg6, qt6-qpa-plugins, fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei | fonts-arphic-uming")
# xdg-utils opens the web page and the mail link of the help menu.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
# Fixed file times: the same build packs into the same bytes.
set(TRALVESCO_CPACK_CONFIG ${CMAKE_BINARY_DIR}/CPackTralvesco.cmake)
file(WRITE ${TRALVESCO_CPACK_CONFIG}
  "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n"
  "  set(ENV{SOURCE_DATE_EPOCH} ${TRALVESCO_SOURCE_DATE_EPOCH})\n"
  "endif()\n")
set(CPACK_PROJECT_CONFIG_FILE ${TRALVESCO_CPACK_CONFIG})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_trim.cmake)
include(CPack)
