# The Debian package: `make package` builds tidemet_<version>_amd64.deb from a Release build with
# the install prefix /usr and the private libraries in lib/<multiarch>/tidemet (see the Makefile).

# Everything a Debian package needs beyond the program's own install rules: the manual pages and
# the changelog compressed as Debian wants them, the copyright, and the device family's udev rule.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(_packaging ${CMAKE_CURRENT_LIST_DIR})
set(_compressed "")
foreach(page tidemet-cli.1 zdaq.1 tidemet.1)
  set(_out ${CMAKE_BINARY_DIR}/packaging/${page}.gz)
  add_custom_command(OUTPUT ${_out}
    COMMAND ${GZIP_PROGRAM} -9nc ${_packaging}/man/${page} > ${_out}
    DEPENDS ${_packaging}/man/${page} VERBATIM)
  list(APPEND _compressed ${_out})
  install(FILES ${_out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${_changelog}
  COMMAND ${GZIP_PROGRAM} -9nc ${_packaging}/changelog > ${_changelog}
  DEPENDS ${_packaging}/changelog VERBATIM)
add_custom_target(tidemet_package_files ALL DEPENDS ${_compressed} ${_changelog})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)

install(FILES ${_changelog} ${_packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tidemet)
install(FILES ${_packaging}/60-tidemet-zdaq.rules DESTINATION ${TIDEMET_UDEV_RULES_DIR})

# A library finds the libraries it loads by name (the module library its pipe library) beside
# itself; the programs find them in the library folder next to their own.
foreach(lib zdaq vonmodvb mpusbapi_usb labjackud)
  if(TARGET ${lib})
    set_target_properties(${lib} PROPERTIES INSTALL_RPATH "$ORIGIN")
  endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidemet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tidemet developers")
set(CPACK_PACKAGE_CONTACT "Tidemet developers <developers@tidemet.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measurement system for aquatic training and therapy")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Tidemet reads pressure sensors on a swimmer's or patient's hands and feet\n\
through USB or serial interface units, draws the force live, records trials,\n\
finds the repetitions and reports phase durations, peak force, impulse and\n\
average force. The package holds the program, the command-line tools\n\
tidemet-cli and zdaq, the device libraries, the manual and the udev rules.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tidemet.org/")
# Libraries the programs link are found by dpkg-shlibdeps; plugins that are loaded at run time
# are not linked and are named here: Qt's platform plugins and the GStreamer elements that
# capture and play video.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, gstreamer1.0-plugins-good, gstreamer1.0-libav")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
