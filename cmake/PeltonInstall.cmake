# The installed layout and its Debian package.
#
# Both programs go to PREFIX/bin; the help file to PREFIX/share/ruvpelton, where an
# installed program looks for it (and by which it knows it is installed, so that it keeps
# its settings in the user's config folder), with the sample day in its folder sample;
# the desktop entry with the .lzh association,
# the icons, the AppStream metadata, the man pages in English and Japanese and the
# copyright file to their usual places under PREFIX/share.
#
#   make package            a .deb of the release build (CPack, dependencies from
#                           dpkg-shlibdeps and the list below)
#   RUVPELTON_PACKAGE_TEST  registers the test that builds the package and runs it from
#                           a scratch root (make package-check)
include(GNUInstallDirs)

set(PELTON_RESOURCES ${PROJECT_SOURCE_DIR}/resources)

install(TARGETS ruvpelton-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PELTON_RESOURCES}/help/ruvpelton.html
  DESTINATION ${CMAKE_INSTALL_DATADIR}/ruvpelton)
install(FILES ${PELTON_RESOURCES}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ruvpelton)
if(TARGET pelton_sample)
  install(DIRECTORY ${PROJECT_BINARY_DIR}/bin/sample/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ruvpelton/sample)
endif()

# Man pages carry the version and are stored compressed, as Debian keeps them.
find_program(PELTON_GZIP gzip REQUIRED)
set(pages ruvpelton-batch.1)
if(TARGET ruvpelton)
  list(APPEND pages ruvpelton.1)
endif()
set(compressedDocs "")
foreach(language en ja)
  if(language STREQUAL "en")
    set(folder ${CMAKE_INSTALL_MANDIR}/man1)
    set(source ${PELTON_RESOURCES}/man)
  else()
    set(folder ${CMAKE_INSTALL_MANDIR}/${language}/man1)
    set(source ${PELTON_RESOURCES}/man/${language})
  endif()
  foreach(page IN LISTS pages)
    set(page_out ${PROJECT_BINARY_DIR}/man/${language}/${page})
    configure_file(${source}/${page} ${page_out} @ONLY)
    add_custom_command(OUTPUT ${page_out}.gz
      COMMAND ${PELTON_GZIP} -9nkf ${page_out}
      DEPENDS ${page_out} VERBATIM)
    list(APPEND compressedDocs ${page_out}.gz)
    install(FILES ${page_out}.gz DESTINATION ${folder})
  endforeach()
endforeach()
# The package's changelog, in Debian's format, compressed as Debian keeps it.
set(changelog ${PROJECT_BINARY_DIR}/changelog)
configure_file(${PELTON_RESOURCES}/changelog ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${PELTON_GZIP} -9nkf ${changelog}
  DEPENDS ${changelog} VERBATIM)
list(APPEND compressedDocs ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ruvpelton)
add_custom_target(pelton_compressed_docs ALL DEPENDS ${compressedDocs})

if(TARGET ruvpelton)
  install(TARGETS ruvpelton RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PELTON_RESOURCES}/ruvpelton.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PELTON_RESOURCES}/ruvpelton.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
  install(FILES ${PELTON_RESOURCES}/ruvpelton-32.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME ruvpelton.png)
  install(FILES ${PELTON_RESOURCES}/ruvpelton.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  set(metainfo ${PROJECT_BINARY_DIR}/io.github.ruvpelton.RuvPelton.metainfo.xml)
  configure_file(${PELTON_RESOURCES}/io.github.ruvpelton.RuvPelton.metainfo.xml ${metainfo} @ONLY)
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ruvpelton)
set(CPACK_PACKAGE_VENDOR "RUV PELTON developers")
set(CPACK_PACKAGE_CONTACT "RUV PELTON developers <support@ruvpelton.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "handicapping of one day of Japanese central horse racing")
# the long description under the summary; CPack indents it as the control file wants
# (lines of at most 79 columns, as lintian wants them)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "RUV PELTON opens one racing day's LZH archive from the RUV data service
and lists the day's races by venue. For a race it turns each runner's last
five races into speed figures through a time database, ranks the runners,
gives them its marks and recommends up to six quinella or bracket-quinella
bets, beside the race card, the training entries and the odds. For a whole
day it writes a detailed text report, an HTML report, a WARS contest file,
a RUV text file and a CSV file for spreadsheets.

The package holds the desktop program ruvpelton, the command-line tool
ruvpelton-batch and a sample day with its odds and time database.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ruvpelton.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# what no shared library names: the Japanese faces the window and the reports ask for,
# Qt's Japanese texts, and Qt's window-system plugins
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-ipafont-gothic, fonts-ipafont-mincho, qt6-translations-l10n, qt6-qpa-plugins")
# the help file opens in the desktop's browser through xdg-open
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

option(RUVPELTON_PACKAGE_TEST "Build the .deb and run it from a scratch root as a test" OFF)
if(RUVPELTON_PACKAGE_TEST)
  enable_testing()
  add_test(NAME Package COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/package_test.sh
    ${PROJECT_BINARY_DIR} $<TARGET_FILE:make-sample-day>)
endif()
