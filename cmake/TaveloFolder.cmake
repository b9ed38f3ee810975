# tavelo_folder_sources(<out_lib> <out_tests> <out_fuzz>): the library sources of the current
# folder (*.cpp without the tests and fuzz targets), its tests (*_test.cpp) and its fuzz
# targets (fuzz_*.cpp). Globbed, so a new unit needs no edit here.
function(tavelo_folder_sources out_lib out_tests out_fuzz)
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB fuzz CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_*.cpp)
  set(lib ${all})
  if(tests)
    list(REMOVE_ITEM lib ${tests})
  endif()
  if(fuzz)
    list(REMOVE_ITEM lib ${fuzz})
  endif()
  set(${out_lib} ${lib} PARENT_SCOPE)
  set(${out_tests} ${tests} PARENT_SCOPE)
  set(${out_fuzz} ${fuzz} PARENT_SCOPE)
endfunction()

# tavelo_library(<name> SOURCES <files...> DEPS <libs...>): the folder's library; a folder
# whose units are not written yet gives an interface library so the tree still configures.
function(tavelo_library name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPS" ${ARGN})
  if(L_SOURCES)
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${L_DEPS})
  endif()
endfunction()
