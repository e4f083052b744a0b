# Installation of the printer application (when it is built): the program
# among the programs, and its systemd unit in systemd's unit directory,
# installed but not enabled. The unit names the program by its installed
# path, so it is written at installation time, when the prefix is known
# (`cmake --install` uses CMAKE_INSTALL_PREFIX, the Debian package /usr).
# Also the printer application's live tests that need more than cr80tests.
if(NOT TARGET cr80-printer-app)
  return()
endif()

install(TARGETS cr80-printer-app RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CR80_UNIT_DIR_DEFAULT /lib/systemd/system)
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_get_variable(CR80_UNIT_DIR_FROM_SYSTEMD systemd systemdsystemunitdir)
  if(CR80_UNIT_DIR_FROM_SYSTEMD)
    set(CR80_UNIT_DIR_DEFAULT ${CR80_UNIT_DIR_FROM_SYSTEMD})
  endif()
endif()
set(CR80_SYSTEMD_UNIT_DIR "${CR80_UNIT_DIR_DEFAULT}" CACHE PATH "Directory of systemd's system units")

set(CR80_UNIT_TEMPLATE ${CMAKE_SOURCE_DIR}/packaging/systemd/cr80-printer-app.service.in)
set(CR80_UNIT_FILE ${CMAKE_BINARY_DIR}/packaging/systemd/cr80-printer-app.service)
install(CODE "
  set(CR80_PRINTER_APP_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/cr80-printer-app\")
  configure_file(\"${CR80_UNIT_TEMPLATE}\" \"${CR80_UNIT_FILE}\" @ONLY)
  file(INSTALL DESTINATION \"${CR80_SYSTEMD_UNIT_DIR}\" TYPE FILE
       PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ FILES \"${CR80_UNIT_FILE}\")
")

# (tests/CMakeLists.txt gives cr80tests the program's path.)
if(BUILD_TESTING AND TARGET cr80tests)
  target_compile_definitions(cr80tests PRIVATE CR80_SYSTEMD_UNIT_DIR="${CR80_SYSTEMD_UNIT_DIR}")
endif()

# CUPS's IPP Everywhere tests against a private server (tests/ipp/); its
# sample files are made once and kept in the build tree (the first run makes
# them with ghostscript, later runs take about 15 s).
if(BUILD_TESTING)
  add_test(NAME PrinterApp.IppEverywhere
           COMMAND ${CMAKE_SOURCE_DIR}/tests/ipp/ipp-everywhere.sh $<TARGET_FILE:cr80-printer-app>
                   $<TARGET_FILE:cardstream> ${CMAKE_BINARY_DIR}/tests/ipp-everywhere)
  set_tests_properties(PrinterApp.IppEverywhere PROPERTIES SKIP_RETURN_CODE 77 LABELS long TIMEOUT 900)
endif()
