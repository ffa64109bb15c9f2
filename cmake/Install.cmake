# Installation and the Debian package.
#
# `cmake --install build --prefix P` gives
#   P/lib/tateyokom/       the program and every file it reads beside it
#   P/bin/tateyokom        a launcher that starts it in that folder
#   P/share/applications/  the desktop entry (Path= the program's folder)
#   P/share/metainfo/      AppStream metainfo
#   P/share/icons/hicolor/ the icon at 48 and 256 px and as SVG
# `cpack -G DEB` (in the build folder) packs the same under /usr.
# Needs APP_DIR, DATA_FILES, HELP_OUTPUTS and SPOKEN_FILES.

set(TATEYOKO_ID jp.mizunarasha.tateyokom)
set(TATEYOKO_APP_SUBDIR lib/tateyokom)
set(TATEYOKO_WEB_URL "https://mizunarasha.jp/tateyokom" CACHE STRING
  "Where the project's pages and docs/ screenshots are published (AppStream metainfo)")

install(TARGETS tateyokom RUNTIME DESTINATION ${TATEYOKO_APP_SUBDIR})
# The sound output, loaded from beside the program.
install(TARGETS tateyoko_audio LIBRARY DESTINATION ${TATEYOKO_APP_SUBDIR})
install(FILES ${DATA_FILES} ${HELP_OUTPUTS} DESTINATION ${TATEYOKO_APP_SUBDIR})
# The spoken 九九, when the build had a voice to make it with.
if(SPOKEN_FILES)
  install(FILES ${SPOKEN_FILES} DESTINATION ${TATEYOKO_APP_SUBDIR})
endif()
install(PROGRAMS desktop/tateyokom.sh DESTINATION bin RENAME tateyokom)

install(FILES resources/icon_48.png DESTINATION share/icons/hicolor/48x48/apps
  RENAME ${TATEYOKO_ID}.png)
install(FILES resources/icons/icon-256.png DESTINATION share/icons/hicolor/256x256/apps
  RENAME ${TATEYOKO_ID}.png)
install(FILES resources/art/icon.svg DESTINATION share/icons/hicolor/scalable/apps
  RENAME ${TATEYOKO_ID}.svg)

configure_file(desktop/${TATEYOKO_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/desktop/${TATEYOKO_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${TATEYOKO_ID}.metainfo.xml DESTINATION share/metainfo)

# The desktop entry names the folder the program is installed into, which is
# known only when it is installed.
install(CODE "
  set(TATEYOKO_ID \"${TATEYOKO_ID}\")
  set(ENTRY_TEMPLATE \"${CMAKE_SOURCE_DIR}/desktop/${TATEYOKO_ID}.desktop.in\")
  set(ENTRY_OUTPUT \"${CMAKE_BINARY_DIR}/desktop/${TATEYOKO_ID}.desktop\")
  set(APP_FOLDER \"\${CMAKE_INSTALL_PREFIX}/${TATEYOKO_APP_SUBDIR}\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/DesktopEntry.cmake\")
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tateyokom)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "みずなら舎")
set(CPACK_PACKAGE_CONTACT "みずなら舎")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multiplication table (九九) drill for primary-school children")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "multiplication table (九九) drill for primary-school children
 タテヨコ塾(Ｍ): a child practises the Japanese multiplication table with its
 formulas, chanted readings and word-play hints, answers tests with the number
 keys, and earns passes and printed certificates.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# Libraries (Qt 6, libjpeg62-turbo, ...) are found by dpkg-shlibdeps; what the
# program needs without linking it is named here: the fonts its windows are
# drawn in, the Japanese texts of Qt's own dialogs, the help viewer and the
# desktop's way of opening files.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-ipafont-mincho, fonts-kouzan-mouhitsu, fonts-aoyagi-kouzan-t, fonts-rocknroll, qt6-translations-l10n, xchm, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, libfile-mimeinfo-perl")
include(CPack)
