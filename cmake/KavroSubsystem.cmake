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

# Libraries that must stay free of widgets: no Qt Widgets, Gui, PrintSupport or
# QCustomPlot may reach them, directly or through another library.
set_property(GLOBAL PROPERTY KAVRO_PURE_LIBRARIES "")
set(KAVRO_WIDGET_LIBRARIES Qt6::Widgets Qt6::Gui Qt6::PrintSupport QCustomPlotQt6::QCustomPlotQt6)

function(kavro_library target folder links)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
  # A program's entry point is not part of a library.
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  kavro_included_forms(forms "${sources}")
  add_library(${target} STATIC ${sources} ${forms})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${links})
endfunction()

# One subsystem, two layers, each a static library built from every source file of its
# folder, so adding a file never means editing a shared list:
#   kavro_<name>     the folder itself: models, stores, providers, computations (pure)
#   kavro_<name>_ui  its ui/ subfolder, when there is one: windows and dialogs
# LINKS are the pure library's dependencies, UI_LINKS the widget layer's (which also
# links the pure one).
function(kavro_subsystem name)
  cmake_parse_arguments(ARG "" "" "LINKS;UI_LINKS" ${ARGN})
  kavro_library(kavro_${name} ${CMAKE_CURRENT_SOURCE_DIR} "${ARG_LINKS}")
  set_property(GLOBAL APPEND PROPERTY KAVRO_PURE_LIBRARIES kavro_${name})
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/ui)
    kavro_library(kavro_${name}_ui ${CMAKE_CURRENT_SOURCE_DIR}/ui "kavro_${name};${ARG_UI_LINKS}")
  endif()
endfunction()

# Every library a target links, directly or through other targets.
function(kavro_linked_libraries target out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(NOT TARGET ${current} OR current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    foreach(link ${links})
      # Generator expressions ($<LINK_ONLY:x>) wrap some entries.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(NOT link MATCHES "^\\$<")
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Stops the configuration when a widget library reaches a pure one, or when a view
# includes an engine header or starts a worker (cmake/CheckViewSources.cmake).
function(kavro_check_layers)
  get_property(pure GLOBAL PROPERTY KAVRO_PURE_LIBRARIES)
  foreach(target ${pure})
    kavro_linked_libraries(${target} linked)
    foreach(widget ${KAVRO_WIDGET_LIBRARIES})
      if(widget IN_LIST linked)
        message(FATAL_ERROR "${target} must stay free of widgets, but it links ${widget}")
      endif()
    endforeach()
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CheckViewSources.cmake
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${output}")
  endif()
endfunction()
