target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cp1252_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record_codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/safe_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trial_file_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trial_file.cpp
)
target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/summary_file_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/summary_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trial_workspace.cpp
)
