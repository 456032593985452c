# brevanto_glob_library(NAME DIR [LINKS...]): a static library of every .cpp
# below DIR. Folders fill up one back end at a time, so an empty folder gives
# an interface library that still carries the link dependencies.
function(brevanto_glob_library name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${ARGN} PRIVATE brevanto_warnings)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()
