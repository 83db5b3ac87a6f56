# Fails when a source file of a widget layer (a subsystem's ui/ folder) does more than
# wire: it includes an engine header (the computation is reached through the pure
# models, never from a view) or starts a worker thread (runs are started and their
# threads owned by the pure models). Asking which thread is running
# (QThread::currentThread) is not starting one.
# Usage: cmake -DROOT=<source dir> -P CheckViewSources.cmake
set(subsystems core engine databases propellant grain nozzle calculations shell)
# What starting a worker looks like in a source: the engine's thread helper, moving an
# object to another thread, a new thread of Qt's or the standard library's, or a run
# handed to Qt's or the standard library's thread pools.
set(worker_patterns
  "(^|[^A-Za-z0-9_])Threader([^A-Za-z0-9_]|$)"
  "moveToThread"
  "QThread::create"
  "new[ \t]+QThread([^A-Za-z0-9_]|$)"
  "std::j?thread([^A-Za-z0-9_]|$)"
  "std::async"
  "QtConcurrent"
  "QThreadPool")
set(faults "")
foreach(subsystem ${subsystems})
  file(GLOB_RECURSE sources ${ROOT}/${subsystem}/ui/*.cpp ${ROOT}/${subsystem}/ui/*.h)
  foreach(src ${sources})
    file(RELATIVE_PATH rel ${ROOT} ${src})
    file(STRINGS ${src} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]engine/")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
      list(APPEND faults "${rel} includes <${header}>")
    endforeach()
    file(STRINGS ${src} lines REGEX "Threader|moveToThread|QThread|std::|QtConcurrent")
    foreach(line ${lines})
      # A comment may name these words without doing anything.
      string(REGEX REPLACE "//.*$" "" code "${line}")
      foreach(pattern ${worker_patterns})
        if(code MATCHES "${pattern}")
          # The line is named in a list of faults, where a semicolon would split it.
          string(REPLACE ";" "" code "${code}")
          string(STRIP "${code}" code)
          list(APPEND faults "${rel} starts a worker: ${code}")
          break()
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()
if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR
    "Views that do more than wire (reach the engine and start runs through the pure models):\n  ${text}")
endif()
message(STATUS "Views include no engine header and start no worker")
