# Typesets one manual: groff with the ms macros, eqn (equations), tbl (tables) and
# preconv (UTF-8 input), PDF output.
#   cmake -DGROFF=<groff> -DSOURCE=<file.ms> -DOUTPUT=<file.pdf> -P TypesetManual.cmake
# Fails, leaving no PDF behind, when groff fails or writes something that is not a PDF.
foreach(var GROFF SOURCE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "TypesetManual.cmake needs -D${var}=...")
  endif()
endforeach()
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
set(partial "${OUTPUT}.partial")
execute_process(COMMAND "${GROFF}" -k -ms -e -t -Tpdf "${SOURCE}"
  OUTPUT_FILE "${partial}" ERROR_VARIABLE messages RESULT_VARIABLE result)
if(messages)
  message("${messages}")
endif()
file(SIZE "${partial}" size)
set(head "")
if(size GREATER 0)
  file(READ "${partial}" head LIMIT 8)
endif()
if(NOT result EQUAL 0 OR NOT head MATCHES "^%PDF-")
  file(REMOVE "${partial}")
  message(FATAL_ERROR "groff could not typeset ${SOURCE} (exit ${result})")
endif()
file(RENAME "${partial}" "${OUTPUT}")
