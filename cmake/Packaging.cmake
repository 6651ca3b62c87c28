# Installing and packing. On Linux: the programs, a man page for each, the
# desktop entry, the theme icons (made in tools/) and the AppStream
# metainfo; `cpack -G DEB` makes quillon_VERSION_ARCH.deb with dependencies
# computed from the programs. On Windows: quillon.exe with the README, and
# `cpack -G ZIP` makes the zip.

if(WIN32)
  install(TARGETS quillon RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME quillon)
  set(CPACK_PACKAGE_FILE_NAME quillon-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

# Every program of the project that this build makes.
foreach(program quillon quillon-headless quillon-ctl)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Every man page in man/.
file(GLOB QUILLON_MAN_PAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.1)
install(FILES ${QUILLON_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
file(GLOB QUILLON_FORMAT_PAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.5)
install(FILES ${QUILLON_FORMAT_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.quillon.Quillon.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.quillon.Quillon.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "Quillon developers")
set(CPACK_PACKAGE_CONTACT "Quillon developers <quillon@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "model-railway layout simulator for train-control programs")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillon runs virtual trains over a model-railway layout in real time and\n\
draws them in a small window. A train-control program on the same machine\n\
drives it over a Unix socket in a train controller's byte protocol: speed\n\
and reverse commands, switch commands and sensor reports. quillon-ctl drives\n\
Quillon from the command line, logs a controller's link, and runs a demo.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
