# The copy of the starting data set into Data/: a file is placed only where nothing
# stands at its name; a user's file (or a folder in its place) is never replaced, also
# when the set changes later; a set lacking a file fails the build.
#   cmake -DSCRIPT=<SeedDataFiles.cmake> -DWORK=<scratch folder> -P seed_data_files_test.cmake
file(REMOVE_RECURSE "${WORK}")
set(src "${WORK}/set")
set(dst "${WORK}/Data")
file(WRITE "${src}/A.json" "set A\n")
file(WRITE "${src}/B.json" "set B\n")
file(WRITE "${src}/C.json" "set C\n")
file(WRITE "${dst}/A.json" "user A\n")
file(MAKE_DIRECTORY "${dst}/C.json")

function(seed files expect_ok)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${src} -DTARGET_DIR=${dst} "-DFILES=${files}"
    -P "${SCRIPT}" RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(expect_ok AND NOT rc EQUAL 0)
    message(FATAL_ERROR "seeding ${files} failed: ${rc}")
  elseif(NOT expect_ok AND rc EQUAL 0)
    message(FATAL_ERROR "seeding ${files} should have failed")
  endif()
endfunction()

function(expect_text name text)
  file(READ "${dst}/${name}" got)
  if(NOT got STREQUAL "${text}")
    message(FATAL_ERROR "${name} holds '${got}', expected '${text}'")
  endif()
endfunction()

seed("A.json;B.json;C.json" TRUE)
expect_text(A.json "user A\n")
expect_text(B.json "set B\n")
if(NOT IS_DIRECTORY "${dst}/C.json")
  message(FATAL_ERROR "the folder standing at C.json was replaced")
endif()

# A later build with a changed set keeps what is there now.
file(WRITE "${src}/B.json" "set B, newer\n")
seed("A.json;B.json;C.json" TRUE)
expect_text(B.json "set B\n")

# A file the user deleted comes back.
file(REMOVE "${dst}/B.json")
seed("B.json" TRUE)
expect_text(B.json "set B, newer\n")

# A set without the file fails loudly.
seed("D.json" FALSE)

file(GLOB leftovers "${dst}/*.seeding")
if(leftovers)
  message(FATAL_ERROR "temporary copies left behind: ${leftovers}")
endif()
