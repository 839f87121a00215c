target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/units.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_menus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_lists.cpp
)
target_sources(tidemet_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/data_folder.cpp)
