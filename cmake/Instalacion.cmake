# What gets installed and packaged: the plug-in in the host's folder together
# with norvik-host and the e-mail program (the host loads the plug-in from its
# own folder), the public header, the CMake package configuration, the
# command-line program and the demo.
include(CMakePackageConfigHelpers)

# The package script builds exactly what it installs; installing must not
# first build every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VELMORA_HOST_DIR ${CMAKE_INSTALL_LIBDIR}/velmora)
set(VELMORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velmora)

set_target_properties(velmora PROPERTIES EXPORT_NAME velmora)
set_target_properties(velmora_header PROPERTIES EXPORT_NAME header)
install(TARGETS velmora velmora_header EXPORT VelmoraTargets
  LIBRARY DESTINATION ${VELMORA_HOST_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/include/velmora.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT VelmoraTargets NAMESPACE Velmora:: DESTINATION ${VELMORA_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/VelmoraConfig.cmake.in
  ${CMAKE_BINARY_DIR}/paquete/VelmoraConfig.cmake INSTALL_DESTINATION ${VELMORA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/paquete/VelmoraConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/paquete/VelmoraConfig.cmake ${CMAKE_BINARY_DIR}/paquete/VelmoraConfigVersion.cmake
  DESTINATION ${VELMORA_CMAKE_DIR})

install(TARGETS norvik-host norvik-gestor-emails RUNTIME DESTINATION ${VELMORA_HOST_DIR})
if(TARGET velmora-cli)
  install(TARGETS velmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# norvik-host on the PATH as a link into the host's folder: the program resolves
# the link and loads the plug-in from next to its real file.
file(RELATIVE_PATH enlace_host /${CMAKE_INSTALL_BINDIR} /${VELMORA_HOST_DIR}/norvik-host)
file(CREATE_LINK ${enlace_host} ${CMAKE_BINARY_DIR}/paquete/norvik-host SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/paquete/norvik-host DESTINATION ${CMAKE_INSTALL_BINDIR})

# The demo: its script and what it builds the demo database from.
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/velmora-demo.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME velmora-demo)
install(FILES ${CMAKE_SOURCE_DIR}/tests/fixtures/host-schema.sql ${CMAKE_SOURCE_DIR}/scripts/demo-data.py
              ${CMAKE_SOURCE_DIR}/scripts/demo.autopilot ${CMAKE_SOURCE_DIR}/scripts/demo-riesgo.autopilot
              ${CMAKE_SOURCE_DIR}/scripts/demo-listados.autopilot ${CMAKE_SOURCE_DIR}/scripts/demo-grupos.autopilot
              ${CMAKE_SOURCE_DIR}/scripts/demo-caucion.autopilot
  DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "credit-risk plug-in for the host invoicing suite, with its host stand-in")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build keeps its debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Depends is what the plug-in itself needs at run time; scripts/package.sh
# reads it off the built library with dpkg-shlibdeps and passes it in.
# norvik-host's driver library and the demo's tools are only recommended.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6test6, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "firebird3.0-server, firebird3.0-utils, python3, xvfb, xauth")
include(CPack)
