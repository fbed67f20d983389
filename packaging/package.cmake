# The Debian package of the real tool: tessel-control and tesselctl, the
# launcher, the pictures, the udev rule, the desktop entry and icon, the manual
# pages and the copyright file. tools/package builds it (cpack -G DEB in a
# build folder configured with -DCMAKE_INSTALL_PREFIX=/usr does the same).
#
# Everything installed goes into the package except the component "emulated":
# the programs that talk to the emulated device are for development only.
# cmake --install still installs every component.

# udev reads packaged rules from /lib/udev/rules.d, outside the /usr prefix;
# under any other prefix the rule stays inside it, as cmake --install has
# always put it.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(tessel_udev_rules_dir /lib/udev/rules.d)
else()
  set(tessel_udev_rules_dir lib/udev/rules.d)
endif()
set(TESSEL_UDEV_RULES_DIR ${tessel_udev_rules_dir} CACHE PATH "Where the udev rule for the device is installed")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/70-tessel-control.rules DESTINATION ${TESSEL_UDEV_RULES_DIR})

set(TESSEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tessel-control)
set(TESSEL_MAN_BUILD_DIR ${CMAKE_BINARY_DIR}/man)

# Manual pages and the changelog compressed as Debian keeps them: gzip -9n,
# without the file's name and time, so that the same sources give the same
# package.
set(tessel_compressed)
foreach(source IN ITEMS linux/man/tessel-control.1 linux/man/tesselctl.1 debian/changelog)
  get_filename_component(name ${source} NAME)
  set(copy ${TESSEL_MAN_BUILD_DIR}/${name})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/${source} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${source}
    VERBATIM)
  list(APPEND tessel_compressed ${copy}.gz)
endforeach()
add_custom_target(tessel_manual_pages ALL DEPENDS ${tessel_compressed})

install(FILES ${TESSEL_MAN_BUILD_DIR}/tessel-control.1.gz ${TESSEL_MAN_BUILD_DIR}/tesselctl.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The launcher only starts the program: its manual page is the program's.
file(MAKE_DIRECTORY ${TESSEL_MAN_BUILD_DIR})
file(CREATE_LINK tessel-control.1.gz ${TESSEL_MAN_BUILD_DIR}/tessel-control-launch.1.gz SYMBOLIC)
install(FILES ${TESSEL_MAN_BUILD_DIR}/tessel-control-launch.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${TESSEL_MAN_BUILD_DIR}/changelog.gz
        DESTINATION ${TESSEL_DOC_DIR})

# Tells software centres which device the program serves (USB 0483:5750).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/linux/tessel-control.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# --- the package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessel-control)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tessel Control developers")
set(CPACK_PACKAGE_CONTACT "Tessel Control developers <tessel-control@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service tool for the VELTRA-MINI vaping device")
# The summary above is the synopsis line; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tessel Control reads and serves the VELTRA-MINI vaping device and its
relatives over USB (HID, vendor 0483, product 5750): it shows the device's
identity and ranges, prepares and uploads the screen pictures of its ten
image slots, upgrades the firmware through the bootloader, writes the
working-mode table and edits the power curves, and keeps all of these in
profile files.
.
The package holds the window (tessel-control, with a service mode for
workshops), the command-line companion tesselctl for scripts and batches of
devices, and a udev rule that lets the user logged in at the seat open the
device without root.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tessel Control developers <tessel-control@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessel-control.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends from the libraries the programs link (dpkg-shlibdeps, at package time).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (buttons, file dialogs, context menus) in the window's
# language: the program loads them from Qt's translations folder.
# The service history's SQLite driver is a plugin, which dpkg-shlibdeps does not see.
if(QT_VERSION_MAJOR EQUAL 5)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qttranslations5-l10n, libqt5sql5-sqlite")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, libqt6sql6-sqlite")
endif()
set(CPACK_STRIP_FILES ON)
# Maintainer scripts: the udev rule is taken up as soon as the package is
# installed or removed.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders the package creates are 0755, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# One package of every component but the emulated programs.
get_cmake_property(tessel_components COMPONENTS)
list(REMOVE_ITEM tessel_components emulated)
set(CPACK_COMPONENTS_ALL ${tessel_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
# The rule's absolute folder lands in the package, not on the build machine.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})

include(CPack)
