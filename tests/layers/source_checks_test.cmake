# The source checks of the layers catch what they are there for: each is run on a small
# made-up tree holding every kind of fault it looks for beside sources that are allowed,
# and must fail naming each fault and none of the allowed ones; with the faults taken
# out it must pass.
#   cmake -DPURE_CHECK=<CheckPureSources.cmake> -DVIEW_CHECK=<CheckViewSources.cmake>
#         -DWORK=<scratch folder> -P source_checks_test.cmake
file(REMOVE_RECURSE "${WORK}")

# Runs `script` on the tree `root` and expects it to fail naming each of `faulty` (or to
# pass when `faulty` is empty) and never naming one of `allowed`.
function(expect_check script root faulty allowed)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DROOT=${root} "-DWIDGET_HEADER_DIRS=${WORK}/widget_headers"
    -P "${script}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(out "${out}${err}")
  get_filename_component(name "${script}" NAME)
  if(faulty AND rc EQUAL 0)
    message(FATAL_ERROR "${name} passed ${root}, which holds faults:\n${out}")
  elseif(NOT faulty AND NOT rc EQUAL 0)
    message(FATAL_ERROR "${name} failed ${root}, which holds no fault:\n${out}")
  endif()
  foreach(file ${faulty})
    string(FIND "${out}" "${file} " at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${name} did not name ${file}:\n${out}")
    endif()
  endforeach()
  foreach(file ${allowed})
    string(FIND "${out}" "${file} " at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${name} named ${file}, which is allowed:\n${out}")
    endif()
  endforeach()
endfunction()

# Writes the tree `root` from `cases`: each case is <path>|<one line of source>.
function(write_tree root cases)
  foreach(case ${cases})
    string(FIND "${case}" "|" bar)
    string(SUBSTRING "${case}" 0 ${bar} path)
    math(EXPR bar "${bar} + 1")
    string(SUBSTRING "${case}" ${bar} -1 line)
    file(WRITE "${root}/${path}" "// made up for the source checks' test\n${line}\n")
  endforeach()
endfunction()

# Header names that only a widget module's include folder knows.
file(WRITE "${WORK}/widget_headers/QPushButton" "")

# Pure folders include no widget header; the ui/ layer and the program's entry point may.
set(pure_faults
  "core/bad_widgets.cpp|#include <QtWidgets/QWidget>"
  "grain/bad_form.h|#include \"ui_grain_form.h\""
  "nozzle/bad_plot.cpp|#include \"qcustomplot.h\""
  "calculations/bad_print.cpp|#include <QtPrintSupport/QPrinter>"
  "propellant/bad_module_header.cpp|  #  include <QPushButton>")
set(pure_allowed
  "core/core_only.cpp|#include <QString>"
  "grain/grain_model.h|#include \"core/flag_codes.h\""
  "nozzle/ui/nozzle_tab.cpp|#include <QPushButton>"
  "shell/main.cpp|#include <QtWidgets/QApplication>")

# Views include no engine header and start no worker; pure folders may do both, and a
# view may ask which thread it runs on or name a worker in a comment.
set(view_faults
  "calculations/ui/bad_engine.cpp|#include \"engine/foo.h\""
  "nozzle/ui/bad_std_thread.cpp|std::thread run([] {})"
  "grain/ui/nested/bad_move.h|worker->moveToThread(thread)"
  "shell/ui/bad_new_thread.cpp|auto *thread = new QThread(this)"
  "core/ui/bad_concurrent.cpp|QtConcurrent::run([] {})"
  "databases/ui/bad_create.cpp|QThread *thread = QThread::create([] {})"
  "propellant/ui/bad_threader.h|Threader *worker = nullptr")
set(view_allowed
  "core/ui/presenter.cpp|if (QThread::currentThread() != app->thread()) {}"
  "calculations/ui/run_tab.cpp|#include \"calculations/calculation_model.h\" // the model owns the Threader"
  "calculations/run.cpp|std::thread run([] {})"
  "engine/worker.cpp|#include \"engine/threader.h\"")

function(names out cases)
  set(paths "")
  foreach(case ${cases})
    string(REGEX REPLACE "\\|.*" "" path "${case}")
    list(APPEND paths ${path})
  endforeach()
  set(${out} ${paths} PARENT_SCOPE)
endfunction()

foreach(check pure view)
  string(TOUPPER ${check} upper)
  names(faulty "${${check}_faults}")
  names(allowed "${${check}_allowed}")
  write_tree("${WORK}/${check}/faulty" "${${check}_faults};${${check}_allowed}")
  expect_check("${${upper}_CHECK}" "${WORK}/${check}/faulty" "${faulty}" "${allowed}")
  write_tree("${WORK}/${check}/clean" "${${check}_allowed}")
  expect_check("${${upper}_CHECK}" "${WORK}/${check}/clean" "" "${allowed}")
endforeach()
