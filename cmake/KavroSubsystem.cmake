# The forms (forms/<form>.ui) that the given sources include as ui_<form>.h. Listing
# them as sources makes uic rerun for them in an existing build folder too, not only
# in a fresh one.
function(kavro_included_forms out sources)
  set(forms "")
  foreach(src ${sources})
    file(STRINGS ${src} ui_includes REGEX "#include [\"<]ui_[A-Za-z0-9_]+\\.h[\">]")
    foreach(line ${ui_includes})
      string(REGEX REPLACE ".*ui_([A-Za-z0-9_]+)\\.h.*" "\\1" form "${line}")
      if(EXISTS ${CMAKE_SOURCE_DIR}/forms/${form}.ui)
        list(APPEND forms ${CMAKE_SOURCE_DIR}/forms/${form}.ui)
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES forms)
  set(${out} ${forms} PARENT_SCOPE)
endfunction()

# One static library per subsystem, built from every source file of its folder,
# so adding a file never means editing a shared list.
function(kavro_subsystem name)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  kavro_included_forms(forms "${sources}")
  add_library(kavro_${name} STATIC ${sources} ${forms})
  target_include_directories(kavro_${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(kavro_${name} PUBLIC ${ARG_LINKS})
endfunction()
