target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/about_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help_window.cpp
)
include(${CMAKE_CURRENT_LIST_DIR}/../help/help.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../packaging/install.cmake)
