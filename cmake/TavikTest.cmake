# tavik_add_test(NAME name COMMAND command [args...] [LABELS label...] [TIMEOUT seconds]
#                [ENVIRONMENT var=value...] [RESOURCE_LOCK lock...] [PROPERTIES property value...])
# Registers one test with ctest together with its labels, timeout, environment and locks.
# PROPERTIES takes further test properties of one value each (RUN_SERIAL, FIXTURES_SETUP, ...).
function(tavik_add_test)
  cmake_parse_arguments(ARG "" "NAME;TIMEOUT" "COMMAND;LABELS;ENVIRONMENT;RESOURCE_LOCK;PROPERTIES" ${ARGN})
  if(NOT ARG_NAME OR NOT ARG_COMMAND OR ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tavik_add_test: NAME and COMMAND are required; unknown: ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND})
  foreach(property LABELS TIMEOUT ENVIRONMENT RESOURCE_LOCK)
    if(DEFINED ARG_${property})
      set_tests_properties(${ARG_NAME} PROPERTIES ${property} "${ARG_${property}}")
    endif()
  endforeach()
  if(ARG_PROPERTIES)
    set_tests_properties(${ARG_NAME} PROPERTIES ${ARG_PROPERTIES})
  endif()
endfunction()
