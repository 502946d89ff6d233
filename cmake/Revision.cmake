# Revision identification. Every source module of TavikRemote carries a "$Id: ... $" string with
# the last commit of its own file: hash, commit date and time, committer. They are read from git
# when configuring, and CMake configures again whenever HEAD moves (commit, checkout, reset), so
# only the modules whose last commit changed are compiled again. Outside a git checkout, or for a
# file not committed yet, a module shows revision 0.
find_package(Git QUIET)
set(TAVIK_GIT_CHECKOUT OFF)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE _git_dir
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE _res)
  if(_res EQUAL 0 AND EXISTS "${_git_dir}")
    set(TAVIK_GIT_CHECKOUT ON)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --git-path HEAD
                            --git-path logs/HEAD --git-path packed-refs
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE _watched
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} symbolic-ref -q HEAD
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE _branch
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(_branch)
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --git-path ${_branch}
                      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE _branch_file
                      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      string(APPEND _watched "\n${_branch_file}")
    endif()
    string(REPLACE "\n" ";" _watched "${_watched}")
    foreach(_file ${_watched})
      if(EXISTS "${_file}")
        set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_file}")
      endif()
    endforeach()
  endif()
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/Revision.h.in ${CMAKE_BINARY_DIR}/generated/Revision.h @ONLY)

# Gives each C++ source of the targets its own revision (TAVIK_FILE_REVISION and friends, read by
# TAVIK_REVISION in RevisionInfo.h).
function(tavik_module_revisions)
  if(NOT TAVIK_GIT_CHECKOUT)
    return()
  endif()
  foreach(target ${ARGN})
    get_target_property(dir ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    foreach(source ${sources})
      if(NOT source MATCHES "\\.cpp$")
        continue()
      endif()
      get_filename_component(path "${source}" ABSOLUTE BASE_DIR "${dir}")
      execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%h%n%cd%n%cn
                              --date=format:%Y-%m-%d\ %H:%M:%S -- "${path}"
                      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE log
                      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(NOT log)
        continue()
      endif()
      string(REGEX REPLACE "[\"\\;]" "" log "${log}")
      string(REPLACE "\n" ";" log "${log}")
      list(GET log 0 revision)
      list(GET log 1 date)
      list(GET log 2 committer)
      set_property(SOURCE "${path}" TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_DEFINITIONS
                   "TAVIK_FILE_REVISION=\"${revision}\"" "TAVIK_FILE_REVISION_DATE=\"${date}\""
                   "TAVIK_FILE_REVISION_AUTHOR=\"${committer}\"")
    endforeach()
  endforeach()
endfunction()
