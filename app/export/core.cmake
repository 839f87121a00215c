# Trials exported in the open formats of the field: EDF+ (through EDFlib) and CSV.
find_path(EDFLIB_INCLUDE_DIR edflib.h REQUIRED)
find_library(EDFLIB_LIBRARY edf REQUIRED)
target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/trial_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/csv_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edf_export.cpp
)
target_include_directories(tidemet_core SYSTEM PRIVATE ${EDFLIB_INCLUDE_DIR})
target_link_libraries(tidemet_core PUBLIC ${EDFLIB_LIBRARY})
