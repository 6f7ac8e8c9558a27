# Installation under a prefix in the usual places, and a Debian package:
#   bin/merenda, bin/merenda-costs     the shell and the costs server
#   bin/merenda-report                 unattended runs of saved parameter sets
#   lib/systemd/user                   its timer and service (merenda-report --due)
#   lib/merenda/                       the host's libraries and the screen module
#   share/merenda/reports/             the standard report definitions
#   share/merenda/db/ENGINE/           the scripts that make a database's report role
#   share/applications, share/icons    the desktop entry and its icon
#   share/man/man1, share/doc/merenda  manual pages, copyright and changelog
# The programs find their libraries through RPATH and their module and data
# through InstallPaths (host/core).
include(GNUInstallDirs)
set(MERENDA_LIBDIR ${CMAKE_INSTALL_LIBDIR}/merenda)
set(MERENDA_DATADIR ${CMAKE_INSTALL_DATADIR}/merenda)

# One RPATH serves both trees: the libraries lie beside the executables in
# the build tree and in ../lib/merenda once installed.
foreach(program shell costs_server merenda-report)
  set_target_properties(${program} PROPERTIES BUILD_WITH_INSTALL_RPATH ON
                        INSTALL_RPATH "$ORIGIN:$ORIGIN/../${MERENDA_LIBDIR}")
endforeach()
foreach(lib ${HOST_LIBRARIES} PKG_XEV01700)
  set_target_properties(${lib} PROPERTIES INSTALL_RPATH "$ORIGIN")
endforeach()

install(PROGRAMS $<TARGET_FILE:shell> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME merenda)
install(PROGRAMS $<TARGET_FILE:costs_server> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME merenda-costs)
install(PROGRAMS $<TARGET_FILE:merenda-report> DESTINATION ${CMAKE_INSTALL_BINDIR})
# Renamed programs are copied as files, which an install with strip (cpack,
# `cmake --install --strip`) leaves as they are: strip them here.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program merenda merenda-costs merenda-report)
      execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
    endforeach()
  endif()")
install(TARGETS ${HOST_LIBRARIES} PKG_XEV01700
        LIBRARY DESTINATION ${MERENDA_LIBDIR})
foreach(engine postgresql firebird)
  install(FILES ${CMAKE_SOURCE_DIR}/db/${engine}/report-role.sql DESTINATION ${MERENDA_DATADIR}/db/${engine})
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/reports/ DESTINATION ${MERENDA_DATADIR}/reports
        FILES_MATCHING PATTERN "*.rel")
install(FILES ${CMAKE_SOURCE_DIR}/dist/merenda.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/merenda.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the changelog go in compressed, as Debian wants them;
# gzip -n keeps the bytes the same from one build to the next.
set(dist_out ${CMAKE_BINARY_DIR}/dist)
configure_file(${CMAKE_SOURCE_DIR}/dist/changelog.in ${dist_out}/changelog @ONLY)
set(dist_gz)
foreach(doc man/merenda.1 man/merenda-costs.1 man/merenda-report.1 changelog)
  get_filename_component(name ${doc} NAME)
  if(doc STREQUAL "changelog")
    set(from ${dist_out}/changelog)
  else()
    set(from ${CMAKE_SOURCE_DIR}/dist/${doc})
  endif()
  add_custom_command(OUTPUT ${dist_out}/${name}.gz
                     COMMAND gzip -9n -c ${from} > ${dist_out}/${name}.gz
                     DEPENDS ${from} VERBATIM)
  list(APPEND dist_gz ${dist_out}/${name}.gz)
endforeach()
add_custom_target(dist_docs ALL DEPENDS ${dist_gz})
install(FILES ${dist_out}/merenda.1.gz ${dist_out}/merenda-costs.1.gz ${dist_out}/merenda-report.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${dist_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/merenda)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME merenda)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Equipe Merenda Escolar <equipe@merenda.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "relatórios de custo da alimentação escolar")
set(CPACK_PACKAGE_DESCRIPTION
    "O Merenda Escolar mostra as telas de relatórios do planejamento de
alimentação escolar, a começar por Custo Realizado Global do Período. Os
relatórios saem impressos, visualizados, em PDF e exportados para CSV e
Excel (XLSX).
.
Trabalha sobre SQLite, Firebird 3 (embutido ou em servidor) ou PostgreSQL e
traz o servidor de custos merenda-costs, que atende as telas por TCP.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Binaries without their debugging symbols, as Debian ships them.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
# Loaded at run time, so no library dependency names them: the database
# drivers, the window system, the icon's SVG, Qt's own dialogs in Portuguese
# (without it the print dialog is in English), the fonts of the screens
# (Liberation) and of the reports (DejaVu).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-ibase, libqt6sql6-psql, qt6-qpa-plugins, libqt6svg6, \
qt6-translations-l10n, fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)

# The user timer of scheduled parameter sets (merenda-report --due).
install(FILES ${CMAKE_SOURCE_DIR}/dist/systemd/merenda-report.service ${CMAKE_SOURCE_DIR}/dist/systemd/merenda-report.timer
        DESTINATION lib/systemd/user)
