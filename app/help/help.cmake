# The user manual: built into the program (the help window opens it from the resources) and
# installed beside it for reading outside the program.
set(TIDEMET_HELP_PAGES
  index.html setup.html monitoring.html video.html files.html analysis.html clients.html settings.html safety.html style.css)
set(help_files "")
foreach(page ${TIDEMET_HELP_PAGES})
  list(APPEND help_files ${CMAKE_CURRENT_LIST_DIR}/${page})
endforeach()
qt_add_resources(tidemet_widgets tidemet_help
  PREFIX /help
  BASE ${CMAKE_CURRENT_LIST_DIR}
  FILES ${help_files})
install(FILES ${help_files} DESTINATION ${CMAKE_INSTALL_DOCDIR}/manual)
