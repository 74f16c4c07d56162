# Install rules and the Debian package (scripts/package: cpack -G DEB). Linux only.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

include(GNUInstallDirs)

set(MONIDESK_APP_ID de.velcor.monidesk)
# The date of this version's release, for the AppStream metadata; keep it with the top
# entry of packaging/changelog.
set(MONIDESK_RELEASE_DATE 2026-12-08)

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_out ${PROJECT_BINARY_DIR}/packaging)

file(STRINGS ${packaging_dir}/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^monidesk \\(${PROJECT_VERSION}\\) ")
  message(WARNING "packaging/changelog has no entry for ${PROJECT_VERSION} at the top")
endif()

# Debian wants manual pages and the changelog compressed, without a time stamp inside.
configure_file(${packaging_dir}/${MONIDESK_APP_ID}.metainfo.xml.in
               ${packaging_out}/${MONIDESK_APP_ID}.metainfo.xml @ONLY)
set(compressed)
foreach(page monidesk.1 monidesk-sim.1)
  configure_file(${packaging_dir}/${page}.in ${packaging_out}/${page} @ONLY)
endforeach()
foreach(file monidesk.1 monidesk-sim.1 changelog)
  if(file STREQUAL "changelog")
    set(source ${packaging_dir}/${file})
  else()
    set(source ${packaging_out}/${file})
  endif()
  add_custom_command(OUTPUT ${packaging_out}/${file}.gz
    COMMAND gzip -9 -n -c ${source} > ${packaging_out}/${file}.gz
    DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${packaging_out}/${file}.gz)
endforeach()
add_custom_target(monidesk_package_files ALL DEPENDS ${compressed})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS monidesk monidesk-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${packaging_dir}/${MONIDESK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_out}/${MONIDESK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/monidesk.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging_out}/monidesk.1.gz ${packaging_out}/monidesk-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_dir}/copyright ${packaging_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME monidesk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Velcor)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "monitoring and logging station for temperature and tank level transmitters")
set(CPACK_PACKAGE_DESCRIPTION
    "Velcor Monidesk reads the telegrams of a HeatSpan temperature transmitter
(eight temperatures with alarm and sensor-error status) and a TideSpan tank
level transmitter (distance, fill height, percentage and volume) from a
receiver on USB (a CP210x USB-to-UART bridge) or on a serial port. It shows
the values on instrument windows, records them into charts that it saves,
reopens and prints, and writes two data logs. The user interface is in German.

The package also holds monidesk-sim, a transmitter simulator for serial lines.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # monidesk_<version>_amd64.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velcor Monidesk Developers <monidesk@velcor.de>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so dpkg-shlibdeps cannot see them: the platform plugins (no window
# without them) and the SVG plugins (every picture of the program is an SVG). The German
# texts of Qt's own dialogs are welcome.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
