# Warnings for every target of the project; -Werror when CI is set.
add_compile_options(-Wall -Wextra)
if(DEFINED ENV{CI} AND NOT "$ENV{CI}" STREQUAL "")
  add_compile_options(-Werror)
endif()
