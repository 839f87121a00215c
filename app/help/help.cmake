# The user manual: built into the program (the help window opens it from the resources) and
# installed with the program's data for reading outside it. The build tree holds the same
# share/tidemet folder beside its bin/, so the program finds its data the same way in both.
set(TIDEMET_HELP_PAGES
  index.html setup.html monitoring.html video.html files.html analysis.html comparison.html chart.html clients.html settings.html safety.html style.css)
set(help_files "")
foreach(page ${TIDEMET_HELP_PAGES})
  list(APPEND help_files ${CMAKE_CURRENT_LIST_DIR}/${page})
endforeach()
qt_add_resources(tidemet_widgets tidemet_help
  PREFIX /help
  BASE ${CMAKE_CURRENT_LIST_DIR}
  FILES ${help_files})
install(FILES ${help_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/tidemet/manual)
foreach(page ${TIDEMET_HELP_PAGES})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${page} ${CMAKE_BINARY_DIR}/share/tidemet/manual/${page} COPYONLY)
endforeach()
