# Headers are included by their folder ("protocol/MidiCodec.h"), and a library sees the folders of
# what it links and nothing else: each library gets an include root of its own in the build tree
# holding one link, named after the folder, to its source folder. A header of a library above it
# (a window from the device core, say) is then not found and the build fails.
#   tavik_include_root(<target> <name> [<folder>])
# <folder> defaults to the current source folder; INTERFACE libraries get an INTERFACE root.
function(tavik_include_root target name)
  set(folder ${CMAKE_CURRENT_SOURCE_DIR})
  if(ARGC GREATER 2)
    set(folder ${ARGV2})
  endif()
  set(root ${CMAKE_BINARY_DIR}/include-roots/${target})
  file(MAKE_DIRECTORY ${root})
  if(NOT IS_SYMLINK ${root}/${name})
    file(CREATE_LINK ${folder} ${root}/${name} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${root}>)
  else()
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
  endif()
endfunction()
