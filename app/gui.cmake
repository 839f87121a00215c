# The Qt program. Windows, dialogs and widgets of every folder go into tidemet_widgets (listed in
# each folder's gui.cmake with target_sources); main.cpp makes the program.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

add_library(tidemet_widgets STATIC)
target_link_libraries(tidemet_widgets PUBLIC tidemet_core Qt6::Widgets)
target_include_directories(tidemet_widgets PUBLIC ${PROJECT_SOURCE_DIR})
set_target_properties(tidemet_widgets PROPERTIES AUTOMOC ON AUTORCC ON)

foreach(sub ui session acquisition files analysis compare clients video)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/gui.cmake)
    include(${sub}/gui.cmake)
  endif()
endforeach()

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
  add_executable(tidemet main.cpp)
  target_link_libraries(tidemet PRIVATE tidemet_widgets)
  install(TARGETS tidemet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
