# The Debian package: `cpack -G DEB` in the build folder writes
# brevanto_<version>_amd64.deb there. The libraries it needs come from
# dpkg-shlibdeps; Qt's SVG plug-in, which draws the icons, is loaded at run
# time and so named by hand.
set(CPACK_PACKAGE_NAME brevanto)
set(CPACK_PACKAGE_VENDOR "The Brevanto developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn game-controller input into keyboard and mouse input")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Brevanto sends keys, mouse movement, wheels and clicks to the application\n"
       "that has the focus when the buttons and sticks of a game controller are used.\n"
       "Profiles switch by button, by message or when another application comes\n"
       "to the front. Controllers are read through SDL2 and hidraw, input goes\n"
       "through uinput or the X server.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://brevanto.example/")
set(CPACK_PACKAGE_CONTACT "The Brevanto developers <developers@brevanto.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR})
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/debian/postinst
                                       ${PROJECT_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
