target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/units.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_menus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_state.cpp
)
