# cmake -DBUILD_DIR=... -DPREFIX=... -DEXPECTED=... -P CheckInstalledFiles.cmake
# Installs the build into an emptied PREFIX and compares the files there with EXPECTED (one
# path a line, relative to the prefix, sorted). Run it after a full build.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
file(STRINGS ${EXPECTED} expected)
list(SORT expected)

set(missing ${expected})
set(unexpected ${installed})
if(installed)
  list(REMOVE_ITEM missing ${installed})
endif()
if(expected)
  list(REMOVE_ITEM unexpected ${expected})
endif()
if(missing OR unexpected)
  list(JOIN missing "\n  " missing)
  list(JOIN unexpected "\n  " unexpected)
  message(FATAL_ERROR "installed files differ from ${EXPECTED}\n"
                      "missing:\n  ${missing}\nunexpected:\n  ${unexpected}")
endif()

list(LENGTH installed count)
message(STATUS "${count} files installed as expected")
