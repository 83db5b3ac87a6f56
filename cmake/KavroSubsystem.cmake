# One static library per subsystem, built from every source file of its folder,
# so adding a file never means editing a shared list.
function(kavro_subsystem name)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(kavro_${name} STATIC ${sources})
  target_include_directories(kavro_${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(kavro_${name} PUBLIC ${ARG_LINKS})
endfunction()
