# Install layout besides the programs (each program's CMakeLists installs it into bin/): desktop
# entries and hicolor icons of the two GUI programs, and the licences and README in the doc folder.
include(GNUInstallDirs)

# Name of the Debian package, also the name of its doc folder.
set(TAVIK_PACKAGE_NAME tavik)
set(TAVIK_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${TAVIK_PACKAGE_NAME})

install(FILES
          ${PROJECT_SOURCE_DIR}/packaging/desktop/com.kalvenso.TavikRemote.desktop
          ${PROJECT_SOURCE_DIR}/packaging/desktop/com.kalvenso.TavikLogo.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)

# packaging/icons is a hicolor tree (<size>/apps/<name>.png, scalable/apps/<name>.svg) drawn by
# tools/icons; "regenerate-icons" draws it again.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor
        FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")

install(FILES
          ${PROJECT_SOURCE_DIR}/LICENSE
          ${PROJECT_SOURCE_DIR}/remote/resources/fonts/LICENSE-Comfortaa.txt
          ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${TAVIK_DOC_DIR})
# Machine-readable summary of both licences and the release history, where Debian tools look for them.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${TAVIK_DOC_DIR})
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/packaging/changelog COPYONLY)
file(ARCHIVE_CREATE OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
     PATHS ${PROJECT_BINARY_DIR}/packaging/changelog FORMAT raw COMPRESSION GZip)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${TAVIK_DOC_DIR})

# Manual pages, with the project's version, gzip-compressed as Debian expects.
foreach(page TavikRemote TavikLogo tavik-sim tavikctl)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/man/${page}.1.in ${PROJECT_BINARY_DIR}/man/${page}.1 @ONLY)
  file(ARCHIVE_CREATE OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.1.gz PATHS ${PROJECT_BINARY_DIR}/man/${page}.1
       FORMAT raw COMPRESSION GZip)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
