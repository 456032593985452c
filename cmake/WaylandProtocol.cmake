# brevanto_wayland_protocol(NAME XML): a static library with the client code
# wayland-scanner generates from a protocol description; its header,
# <basename>-client-protocol.h, is on the library's include path.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(BREVANTO_WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT BREVANTO_WAYLAND_SCANNER)
  find_program(BREVANTO_WAYLAND_SCANNER wayland-scanner REQUIRED)
endif()

function(brevanto_wayland_protocol name xml)
  get_filename_component(base ${xml} NAME_WE)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set(header ${dir}/${base}-client-protocol.h)
  set(code ${dir}/${base}-protocol.c)
  add_custom_command(OUTPUT ${header} ${code}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                     COMMAND ${BREVANTO_WAYLAND_SCANNER} client-header ${xml} ${header}
                     COMMAND ${BREVANTO_WAYLAND_SCANNER} private-code ${xml} ${code}
                     DEPENDS ${xml}
                     COMMENT "Generating the Wayland client code of ${base}")
  add_library(${name} STATIC ${header} ${code})
  target_include_directories(${name} PUBLIC ${dir})
  target_link_libraries(${name} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()
