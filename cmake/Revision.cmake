# Revision identification: the commit the tree was configured from, used by the
# "$Id: ... $" strings that every source module of TavikRemote carries.
find_package(Git QUIET)
set(TAVIK_REVISION "0")
set(TAVIK_REVISION_DATE "1970-01-01 00:00:00")
set(TAVIK_REVISION_AUTHOR "unknown")
if(GIT_FOUND AND EXISTS ${CMAKE_SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%h
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE _rev
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE _res)
  if(_res EQUAL 0 AND _rev)
    set(TAVIK_REVISION "${_rev}")
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%cd --date=format:%Y-%m-%d\ %H:%M:%S
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE TAVIK_REVISION_DATE
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%cn
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE TAVIK_REVISION_AUTHOR
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/Revision.h.in ${CMAKE_BINARY_DIR}/generated/Revision.h @ONLY)
