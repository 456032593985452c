# Installs the build into a fresh prefix and checks the tree a user or a
# package gets: the programs run from there, the desktop entry and the
# metainfo pass the freedesktop validators, and every file the desktop looks
# for is where it looks.
#
# -DBUILD_DIR=the build folder -DWORK=a scratch folder -DVERSION=x.y.z

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "${text}")
endfunction()

function(run_tool)
  cmake_parse_arguments(arg "" "NAME" "COMMAND" ${ARGN})
  execute_process(COMMAND ${arg_COMMAND} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    fail("${arg_NAME} failed (${result}):\n${out}${err}")
  endif()
  set(tool_output "${out}${err}" PARENT_SCOPE)
endfunction()

function(need_program variable name package)
  find_program(${variable} ${name})
  if(NOT ${variable})
    fail("${name} is missing: install the Debian package ${package} (scripts/install-deps.sh)")
  endif()
endfunction()

need_program(DESKTOP_FILE_VALIDATE desktop-file-validate desktop-file-utils)
need_program(APPSTREAMCLI appstreamcli appstream)
need_program(GZIP gzip gzip)
need_program(BASH bash bash)

set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
run_tool(NAME "cmake --install" COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# Nothing may land outside the prefix: a package or a staged install would
# otherwise write into the running system.
file(STRINGS ${BUILD_DIR}/install_manifest.txt installed)
foreach(file IN LISTS installed)
  string(FIND "${file}" "${prefix}/" at)
  if(NOT at EQUAL 0)
    fail("installed outside the prefix: ${file}")
  endif()
endforeach()

set(expected
    bin/brevanto
    bin/brevantoctl
    share/applications/brevanto.desktop
    share/metainfo/example.brevanto.Brevanto.metainfo.xml
    share/icons/hicolor/scalable/apps/brevanto.svg
    share/icons/hicolor/scalable/status/brevanto-running.svg
    share/icons/hicolor/scalable/status/brevanto-paused.svg
    share/man/man1/brevanto.1.gz
    share/man/man1/brevantoctl.1.gz
    share/bash-completion/completions/brevantoctl
    share/gnome-shell/extensions/brevanto-focus@brevanto.example/metadata.json
    share/gnome-shell/extensions/brevanto-focus@brevanto.example/extension.js
    share/doc/brevanto/README.md
    share/doc/brevanto/copyright
    share/doc/brevanto/changelog.gz
    share/doc/brevanto/docs/running.md
    share/doc/brevanto/docs/screenshots/main-window.png
    lib/udev/rules.d/70-brevanto-uinput.rules
    lib/udev/rules.d/70-brevanto-hidraw.rules
    lib/modules-load.d/brevanto-uinput.conf)
foreach(file IN LISTS expected)
  if(NOT EXISTS ${prefix}/${file})
    fail("missing from the installed tree: ${file}")
  endif()
endforeach()
if(EXISTS ${prefix}/share/doc/brevanto/docs/screenshots/sample)
  fail("the screenshots' sample data directory was installed")
endif()

# Both programs start from the installed place and name this version.
foreach(program brevanto brevantoctl)
  execute_process(COMMAND ${prefix}/bin/${program} --version RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0 OR NOT out MATCHES "^[Bb]revanto(ctl)? v${VERSION}\n$")
    fail("${program} --version from the prefix: exit ${result}, '${out}${err}'")
  endif()
endforeach()

run_tool(NAME "desktop-file-validate" COMMAND ${DESKTOP_FILE_VALIDATE}
         ${prefix}/share/applications/brevanto.desktop)
if(tool_output MATCHES "error")
  fail("desktop-file-validate: ${tool_output}")
endif()
run_tool(NAME "appstreamcli validate" COMMAND ${APPSTREAMCLI} validate --no-net
         ${prefix}/share/metainfo/example.brevanto.Brevanto.metainfo.xml)

# The entry's icon and program are the installed ones; the metainfo names the
# entry and this version.
file(READ ${prefix}/share/applications/brevanto.desktop entry)
if(NOT entry MATCHES "\nIcon=([^\n]+)\n")
  fail("the desktop entry names no icon")
endif()
if(NOT EXISTS ${prefix}/share/icons/hicolor/scalable/apps/${CMAKE_MATCH_1}.svg)
  fail("the desktop entry's icon '${CMAKE_MATCH_1}' is not installed in hicolor")
endif()
if(NOT entry MATCHES "\nExec=([^ \n]+)")
  fail("the desktop entry has no Exec line")
endif()
if(NOT EXISTS ${prefix}/bin/${CMAKE_MATCH_1})
  fail("the desktop entry starts '${CMAKE_MATCH_1}', which is not installed")
endif()
file(READ ${prefix}/share/metainfo/example.brevanto.Brevanto.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">brevanto.desktop</launchable>")
  fail("the metainfo does not name brevanto.desktop")
endif()
if(NOT metainfo MATCHES "<release version=\"${VERSION}\"")
  fail("the metainfo does not list version ${VERSION}")
endif()

# Manual pages: valid gzip holding a page of this version.
foreach(page brevanto brevantoctl)
  run_tool(NAME "gzip -dc ${page}.1.gz" COMMAND ${GZIP} -dc ${prefix}/share/man/man1/${page}.1.gz)
  string(TOUPPER ${page} title)
  if(NOT tool_output MATCHES "^\\.TH ${title} 1 [^\n]*\"Brevanto ${VERSION}\"")
    fail("${page}.1 has no title line for version ${VERSION}")
  endif()
endforeach()

# The completion loads and completes a command.
run_tool(NAME "bash completion" COMMAND ${BASH} -c
         "source '${prefix}/share/bash-completion/completions/brevantoctl' && COMP_WORDS=(brevantoctl re) COMP_CWORD=1 && _brevantoctl && echo \"\${COMPREPLY[*]}\"")
if(NOT tool_output STREQUAL "resave replay\n")
  fail("completing 'brevantoctl re' gave '${tool_output}'")
endif()

# Device access: uinput for the seat's user, the module at boot, and the
# hidraw nodes of listed controllers (an Xbox 360 pad among them) only.
file(READ ${prefix}/lib/udev/rules.d/70-brevanto-uinput.rules uinput)
if(NOT uinput MATCHES "KERNEL==\"uinput\"[^\n]*TAG\\+=\"uaccess\"")
  fail("the uinput rule gives no seat access")
endif()
file(READ ${prefix}/lib/modules-load.d/brevanto-uinput.conf modules)
if(NOT modules MATCHES "(^|\n)uinput\n")
  fail("modules-load.d does not load uinput")
endif()
file(STRINGS ${prefix}/lib/udev/rules.d/70-brevanto-hidraw.rules hidraw REGEX "^[^#]")
list(FILTER hidraw EXCLUDE REGEX "^KERNEL==\"hidraw\\*\", SUBSYSTEM==\"hidraw\", KERNELS==\"\\*:[0-9A-F][0-9A-F][0-9A-F][0-9A-F]:[0-9A-F][0-9A-F][0-9A-F][0-9A-F]\\.\\*\", TAG\\+=\"uaccess\"$")
if(hidraw)
  fail("hidraw rules that do not name one controller: ${hidraw}")
endif()
file(READ ${prefix}/lib/udev/rules.d/70-brevanto-hidraw.rules hidraw)
if(NOT hidraw MATCHES "KERNELS==\"\\*:045E:028E\\.\\*\"")
  fail("the hidraw rules leave out the Xbox 360 pad")
endif()

file(REMOVE_RECURSE ${WORK})
