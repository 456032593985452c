# What `cmake --install` puts under the prefix: the two programs, the desktop
# entry with its icons and metainfo, the GNOME Shell extension, manual pages,
# bash completion, the documentation and the device-access rules. Every destination is relative,
# so an install into any prefix (or DESTDIR) stays inside it.
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(BREVANTO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/brevanto)
set(BREVANTO_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
    "Where the udev rules go, relative to the prefix")
set(BREVANTO_MODULES_LOAD_DIR lib/modules-load.d CACHE STRING
    "Where the module list goes, relative to the prefix")
set(BREVANTO_DATA ${PROJECT_SOURCE_DIR}/data)
set(BREVANTO_GENERATED ${PROJECT_BINARY_DIR}/install)

install(TARGETS brevanto brevantoctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${BREVANTO_DATA}/desktop/brevanto.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${BREVANTO_DATA}/desktop/example.brevanto.Brevanto.metainfo.xml.in
               ${BREVANTO_GENERATED}/example.brevanto.Brevanto.metainfo.xml @ONLY)
install(FILES ${BREVANTO_GENERATED}/example.brevanto.Brevanto.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${BREVANTO_DATA}/icons/brevanto.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${BREVANTO_DATA}/icons/brevanto-running.svg ${BREVANTO_DATA}/icons/brevanto-paused.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/status)

# The GNOME Shell extension that tells the program which window has the
# focus in a Wayland session. (The KWin script is built into the program,
# which hands it to KWin itself.)
install(DIRECTORY ${BREVANTO_DATA}/gnome-shell/brevanto-focus@brevanto.example
        DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/extensions)

install(FILES ${BREVANTO_DATA}/completion/brevantoctl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

install(FILES ${BREVANTO_DATA}/udev/70-brevanto-uinput.rules
        DESTINATION ${BREVANTO_UDEV_RULES_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/HidrawRules.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BREVANTO_DATA}/controller_list.csv)
brevanto_write_hidraw_rules(${BREVANTO_DATA}/controller_list.csv
                            ${BREVANTO_GENERATED}/70-brevanto-hidraw.rules)
install(FILES ${BREVANTO_GENERATED}/70-brevanto-hidraw.rules DESTINATION ${BREVANTO_UDEV_RULES_DIR})
install(FILES ${BREVANTO_DATA}/udev/brevanto-uinput.conf DESTINATION ${BREVANTO_MODULES_LOAD_DIR})

# Manual pages and the package changelog, compressed as Debian wants them
# (gzip -n: no name or time stamp, so the result depends on the text alone).
find_program(BREVANTO_GZIP gzip REQUIRED)
set(compressed "")
foreach(page brevanto brevantoctl)
  configure_file(${BREVANTO_DATA}/man/${page}.1.in ${BREVANTO_GENERATED}/${page}.1 @ONLY)
  list(APPEND compressed ${page}.1)
endforeach()
configure_file(${BREVANTO_DATA}/debian/changelog.in ${BREVANTO_GENERATED}/changelog @ONLY)
list(APPEND compressed changelog)
set(compressed_outputs "")
foreach(file IN LISTS compressed)
  add_custom_command(OUTPUT ${BREVANTO_GENERATED}/${file}.gz
                     COMMAND ${BREVANTO_GZIP} -n -9 -c ${file} > ${file}.gz
                     DEPENDS ${BREVANTO_GENERATED}/${file}
                     WORKING_DIRECTORY ${BREVANTO_GENERATED} VERBATIM)
  list(APPEND compressed_outputs ${BREVANTO_GENERATED}/${file}.gz)
endforeach()
add_custom_target(brevanto_install_files ALL DEPENDS ${compressed_outputs})
install(FILES ${BREVANTO_GENERATED}/brevanto.1.gz ${BREVANTO_GENERATED}/brevantoctl.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${BREVANTO_GENERATED}/changelog.gz
              ${BREVANTO_DATA}/debian/copyright
        DESTINATION ${BREVANTO_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${BREVANTO_DOC_DIR}/docs
        PATTERN sample EXCLUDE)
