# Warnings for the project's own targets: tavik_warnings carries them, and link_libraries() hands
# it to every target defined after this file is included (libraries, programs, tests, tools), while
# imported and third-party targets stay as they are. -Werror when CI is set.
add_library(tavik_warnings INTERFACE)
target_compile_options(tavik_warnings INTERFACE -Wall -Wextra)
if(DEFINED ENV{CI} AND NOT "$ENV{CI}" STREQUAL "")
  target_compile_options(tavik_warnings INTERFACE -Werror)
endif()
link_libraries(tavik_warnings)
