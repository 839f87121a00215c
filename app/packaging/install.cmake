# Desktop integration: the launcher entry and its icon in the usual places.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tidemet.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tidemet.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
