# Installation of the desktop parts and the Debian packages (CPack DEB).
#
# Two install components, one package each:
#   tool -> dazavu-setting-tool: the program, the USB library "Diruvov" in the
#           system's library path (where the program finds it by name), the
#           Vevevor library and header, the udev rule, the desktop entry, the
#           icons, manual page and the Debian documents; the monitoring
#           files (alert rules, dashboard, examples), the exporter's systemd
#           unit and its options file /etc/default/dazavu-exporter.
#   sim  -> dazavu-printer-sim: the printer simulator and the simulator build
#           of "Diruvov" in a private folder, never on the library path.
# The install() rules of the binaries sit beside their targets (app/,
# diruvov/, vevevor/, simulator/); this file adds the rest and CPack.
#
# Build the packages:  scripts/package.sh  (also checks them).

set(DZ_PACKAGE_MAINTAINER "Dazavu Setting Tool team <setting-tool@dazavu.example>"
    CACHE STRING "Maintainer of the Debian packages (Name <address>)")

set(_dz_pkg ${PROJECT_SOURCE_DIR}/packaging)
set(_dz_gen ${PROJECT_BINARY_DIR}/packaging)
set(DZ_PRIVATE_LIBDIR lib/dazavu-setting-tool)

# --- desktop entry and icons ------------------------------------------------
install(FILES ${_dz_pkg}/dazavu-setting-tool.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT tool)
foreach(size 16 32 48 64 128 256)
  install(FILES ${_dz_pkg}/icons/dazavu-setting-tool-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME dazavu-setting-tool.png COMPONENT tool)
endforeach()
install(FILES ${_dz_pkg}/icons/dazavu-setting-tool.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT tool)

# --- AppStream metainfo (software centres; checked by scripts/package.sh) ---
configure_file(${_dz_pkg}/example.dazavu.SettingTool.metainfo.xml.in
               ${_dz_gen}/example.dazavu.SettingTool.metainfo.xml @ONLY)
install(FILES ${_dz_gen}/example.dazavu.SettingTool.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT tool)

# --- manual pages, copyright and changelog (gzip -9n, as Debian wants) ------
find_program(DZ_GZIP gzip REQUIRED)
function(dz_gzip in out)
  get_filename_component(dir ${out} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  execute_process(COMMAND ${DZ_GZIP} -9nc INPUT_FILE ${in} OUTPUT_FILE ${out}
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip ${in} failed")
  endif()
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${in})
endfunction()

foreach(page Dazavu_SettingTool dazavu dazavu-printer-sim)
  dz_gzip(${_dz_pkg}/man/${page}.1 ${_dz_gen}/${page}.1.gz)
endforeach()
install(FILES ${_dz_gen}/Dazavu_SettingTool.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
install(FILES ${_dz_gen}/dazavu.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
install(FILES ${_dz_gen}/dazavu-printer-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT sim)

configure_file(${_dz_pkg}/copyright ${_dz_gen}/copyright @ONLY)
foreach(comp_pkg tool:dazavu-setting-tool sim:dazavu-printer-sim)
  string(REPLACE ":" ";" comp_pkg ${comp_pkg})
  list(GET comp_pkg 0 comp)
  list(GET comp_pkg 1 DZ_CHANGELOG_PACKAGE)
  configure_file(${_dz_pkg}/changelog.in ${_dz_gen}/${comp}/changelog @ONLY)
  dz_gzip(${_dz_gen}/${comp}/changelog ${_dz_gen}/${comp}/changelog.gz)
  install(FILES ${_dz_gen}/copyright ${_dz_gen}/${comp}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${DZ_CHANGELOG_PACKAGE} COMPONENT ${comp})
endforeach()

# --- bash completion of dazavu (bash-completion loads it at the first use) ---
install(FILES ${_dz_pkg}/completion/dazavu
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT tool)

# --- Ansible collection dazavu.printer (ansible/) ----------------------------
# Where ansible-core looks for collections besides the user's own folder.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/ansible/ansible_collections/dazavu/printer
        DESTINATION ${CMAKE_INSTALL_DATADIR}/ansible/collections/ansible_collections/dazavu
        COMPONENT tool
        PATTERN __pycache__ EXCLUDE PATTERN "*.pyc" EXCLUDE)

# --- monitoring (monitoring/): rules, dashboard, examples, exporter unit ------
install(FILES ${PROJECT_SOURCE_DIR}/monitoring/dazavu-alerts.yml ${PROJECT_SOURCE_DIR}/monitoring/prometheus.yml
              ${PROJECT_SOURCE_DIR}/monitoring/dazavu-dashboard.json ${PROJECT_SOURCE_DIR}/monitoring/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/dazavu/monitoring COMPONENT tool)
install(FILES ${_dz_pkg}/systemd/dazavu-exporter.service
        DESTINATION ${CMAKE_INSTALL_PREFIX}/lib/systemd/system COMPONENT tool)
install(FILES ${_dz_pkg}/systemd/dazavu-exporter.default
        DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/default RENAME dazavu-exporter COMPONENT tool)

# --- what a package build has to build -------------------------------------
# Everything installed, without tests, benchmarks or fuzzers.
add_custom_target(dz_package_contents)
foreach(target Dazavu_SettingTool dazavu Diruvov Vevevor dazavu-printer-sim dz_diruvov_sim)
  if(TARGET ${target})
    add_dependencies(dz_package_contents ${target})
  endif()
endforeach()

# The probe scripts/package.sh loads into the installed program; never installed.
if(DZ_BUILD_GUI)
  add_library(dz_package_probe MODULE EXCLUDE_FROM_ALL ${_dz_pkg}/check/PackageProbe.cpp)
  target_link_libraries(dz_package_probe PRIVATE Qt6::Widgets)
endif()

# --- CPack ------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dazavu-setting-tool)
set(CPACK_PACKAGE_VENDOR "Dazavu")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${DZ_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tool sim)
set(CPACK_COMPONENTS_GROUPING IGNORE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DZ_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps (Qt 6, libusb, libc, ...).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME dazavu-setting-tool)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
# Arial for the window comes from Liberation Sans (fontconfig alias).
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "fonts-liberation2")
# The libraries in the library path are registered by the ldconfig trigger;
# the scripts re-read the udev rule (and replace CPack's ldconfig calls).
set(CPACK_DEBIAN_TOOL_PACKAGE_CONTROL_EXTRA
    ${_dz_pkg}/debian/postinst ${_dz_pkg}/debian/postrm ${_dz_pkg}/debian/triggers ${_dz_pkg}/debian/conffiles)
set(CPACK_COMPONENT_TOOL_DESCRIPTION
"service tool for the Dazavu thermal label printer
Dazavu Setting Tool reads the whole configuration of the Dazavu thermal
label printer over RS-232C, LAN or USB, edits it, writes it back, keeps it
in files, changes the printer's network settings, asks for its status and
runs its maintenance functions.
.
The package also holds Diruvov, the USB transfer library the tool uses, a
udev rule that gives the user at the seat access to the printer over USB,
and Vevevor, a small library for output to the parallel port.")

set(CPACK_DEBIAN_SIM_PACKAGE_NAME dazavu-printer-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_SIM_DESCRIPTION
"simulated Dazavu thermal label printer
A simulated printer that answers the Dazavu Setting Tool like the Dazavu
thermal label printer, for trying the tool and for training without a
printer: it serves the LAN interface on 127.0.0.1 and the serial interface
on a pseudo-terminal.
.
It also holds a simulator build of the tool's USB library in a private
folder; the tool uses it only when started with that folder in
LD_LIBRARY_PATH.")

include(CPack)
