# Copies the starting data files into the program's Data folder, each only where nothing
# stands at its name yet: a file the user already has (or a folder in its place) is never
# replaced. Each copy is made under a temporary name and moved in without replacing, so a
# file that appears meanwhile is not overwritten either.
#   cmake -DSOURCE_DIR=<generated set> -DTARGET_DIR=<Data> -DFILES=<names> -P SeedDataFiles.cmake
foreach(var SOURCE_DIR TARGET_DIR FILES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "SeedDataFiles.cmake needs -D${var}=...")
  endif()
endforeach()
file(MAKE_DIRECTORY "${TARGET_DIR}")
foreach(name ${FILES})
  set(target "${TARGET_DIR}/${name}")
  if(EXISTS "${target}" OR IS_SYMLINK "${target}")
    continue()
  endif()
  if(NOT EXISTS "${SOURCE_DIR}/${name}")
    message(FATAL_ERROR "the starting data set lacks ${name}")
  endif()
  set(partial "${target}.seeding")
  file(COPY_FILE "${SOURCE_DIR}/${name}" "${partial}")
  file(RENAME "${partial}" "${target}" NO_REPLACE RESULT moved)
  # The move without replacing may be made as a link, which leaves the temporary name.
  file(REMOVE "${partial}")
  if(moved EQUAL 0)
    message(STATUS "Data/${name} created from the starting data set")
  endif()
endforeach()
