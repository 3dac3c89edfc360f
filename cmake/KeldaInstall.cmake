# Where an installed KELDA puts its files, and the Debian package made from them (scripts/package).
# The documentation folder is named after the package, not the project.
set(CMAKE_INSTALL_DOCDIR share/doc/kelda)
include(GNUInstallDirs)

set(KELDA_APP_ID io.kelda.Kelda)
set(KELDA_LIBEXEC_DIR ${CMAKE_INSTALL_LIBEXECDIR}/kelda)
# AppStream wants a web address for the screenshot; a distributor points it at the published copy of
# dist/screenshots/main.png (installed with the package as well).
set(KELDA_SCREENSHOT_URL "https://example.org/kelda/screenshots/main.png"
    CACHE STRING "Where the published screenshot of the main window is")
set(KELDA_MAINTAINER "KELDA developers <kelda@localhost>" CACHE STRING "The package's maintainer field")

foreach(program kelda kelda-cli)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
# Tools for trying KELDA out and for tests, not commands for everyday use.
foreach(tool zuno-sim kelda-sample-unit)
    if(TARGET ${tool})
        install(TARGETS ${tool} RUNTIME DESTINATION ${KELDA_LIBEXEC_DIR})
    endif()
endforeach()

set(dist ${PROJECT_SOURCE_DIR}/dist)
set(generated ${PROJECT_BINARY_DIR}/dist)
configure_file(${dist}/${KELDA_APP_ID}.metainfo.xml.in ${generated}/${KELDA_APP_ID}.metainfo.xml @ONLY)
configure_file(${dist}/man/kelda.1 ${generated}/kelda.1 @ONLY)
configure_file(${dist}/man/kelda-cli.1 ${generated}/kelda-cli.1 @ONLY)
configure_file(${dist}/systemd/kelda-backup.service.in ${generated}/kelda-backup.service @ONLY)

install(FILES ${generated}/kelda-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${dist}/completion/kelda-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${generated}/kelda-backup.service ${dist}/systemd/kelda-backup.timer
        DESTINATION lib/systemd/user)
install(FILES ${dist}/systemd/backup.env DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(TARGET kelda)
    install(FILES ${generated}/kelda.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${dist}/${KELDA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${generated}/${KELDA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${dist}/screenshots/main.png DESTINATION ${CMAKE_INSTALL_DATADIR}/kelda/screenshots)
    install(FILES ${dist}/icons/${KELDA_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 32 48 64 128 256)
        install(FILES ${dist}/icons/${KELDA_APP_ID}-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${KELDA_APP_ID}.png)
    endforeach()
endif()

# The Debian package: the libraries' packages are found from the programs themselves; what is loaded at run
# time (the platform plugin, the font, the desktop opener, Qt's own translations) is named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelda)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KELDA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "manage the messages of a telephone exchange's voice-mail unit")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "KELDA logs in to the voice-mail unit of a business telephone exchange, downloads its messages into "
       "folders on the PC, lists, converts and plays them, and administers download folders, box names and CSV "
       "files. kelda-cli runs the downloads without a window, for a scheduled backup.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KELDA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipaexfont-gothic, xdg-utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
