# What the Debian package holds beside the programs, and how CPack builds it:
# ./run package, or `cmake --build build --target durnix_programs && cd build && cpack -G DEB`.

# The programs the package ships; durnix_programs builds just these and the manual pages.
set(DURNIX_PROGRAMS durnix durnix-instrument)
if(TARGET durnix-plan)
  list(APPEND DURNIX_PROGRAMS durnix-plan)
endif()

set(resources ${PROJECT_SOURCE_DIR}/resources)
install(FILES ${resources}/durnix.desktop DESTINATION share/applications)
install(FILES ${resources}/org.durnix.Durnix.metainfo.xml DESTINATION share/metainfo)
set(DURNIX_ICON_SIZES 16 22 24 32 48 64 128 256)
foreach(size ${DURNIX_ICON_SIZES})
  install(FILES ${resources}/icons/durnix-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME durnix.png)
endforeach()

# Manual pages go compressed, as Debian keeps them.
set(manuals)
foreach(program durnix durnix-plan)
  if(NOT TARGET ${program})
    continue()
  endif()
  set(manual ${CMAKE_BINARY_DIR}/packaging/${program}.1.gz)
  add_custom_command(OUTPUT ${manual}
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/${program}.1 > ${manual}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/${program}.1 VERBATIM)
  install(FILES ${manual} DESTINATION share/man/man1)
  list(APPEND manuals ${manual})
endforeach()
add_custom_target(durnix_manuals ALL DEPENDS ${manuals})
add_custom_target(durnix_programs)
add_dependencies(durnix_programs ${DURNIX_PROGRAMS} durnix_manuals)

# What packaging/check-deb.sh expects in the package, from the programs that exist.
set(DURNIX_PLAN_CONTENTS "")
if(TARGET durnix-plan)
  set(DURNIX_PLAN_CONTENTS "usr/bin/durnix-plan\nusr/share/man/man1/durnix-plan.1.gz\n")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/contents.in ${CMAKE_BINARY_DIR}/packaging/contents @ONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME durnix)
set(CPACK_PACKAGE_VENDOR "Durnix developers")
set(CPACK_PACKAGE_CONTACT "Durnix developers <durnix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test terminal for serial instrument buses")
set(CPACK_PACKAGE_DESCRIPTION "\
Durnix frames a command by one of eight framings (VXB, ASCII CRLF, Modbus RTU,
HART and others), sends it on a local serial port or one reached over RFC 2217
or raw TCP, and shows the packet and the device's answer raw and interpreted.
durnix-plan runs test plans without a window and gives a verdict;
durnix-instrument is a virtual instrument on a pseudo-terminal.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
