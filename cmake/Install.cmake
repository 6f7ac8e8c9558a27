# Installation under a prefix in the usual places, and a Debian package:
#   bin/merenda, bin/merenda-costs     the shell and the costs server
#   lib/merenda/                       the host's libraries and the screen module
#   share/merenda/reports/             the standard report definitions
#   share/applications, share/icons    the desktop entry and its icon
# The programs find their libraries through RPATH and their module and data
# through InstallPaths (host/core).
include(GNUInstallDirs)
set(MERENDA_LIBDIR ${CMAKE_INSTALL_LIBDIR}/merenda)
set(MERENDA_DATADIR ${CMAKE_INSTALL_DATADIR}/merenda)

# One RPATH serves both trees: the libraries lie beside the executables in
# the build tree and in ../lib/merenda once installed.
foreach(program shell costs_server)
  set_target_properties(${program} PROPERTIES BUILD_WITH_INSTALL_RPATH ON
                        INSTALL_RPATH "$ORIGIN:$ORIGIN/../${MERENDA_LIBDIR}")
endforeach()
foreach(lib ${HOST_LIBRARIES} PKG_XEV01700)
  set_target_properties(${lib} PROPERTIES INSTALL_RPATH "$ORIGIN")
endforeach()

install(PROGRAMS $<TARGET_FILE:shell> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME merenda)
install(PROGRAMS $<TARGET_FILE:costs_server> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME merenda-costs)
install(TARGETS ${HOST_LIBRARIES} PKG_XEV01700
        LIBRARY DESTINATION ${MERENDA_LIBDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/reports/ DESTINATION ${MERENDA_DATADIR}/reports
        FILES_MATCHING PATTERN "*.rel")
install(FILES ${CMAKE_SOURCE_DIR}/dist/merenda.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/merenda.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME merenda)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Equipe Merenda Escolar <merenda@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Custo Realizado Global do Período (Planejamento de Alimentação Escolar)")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no library dependency names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-ibase, qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
