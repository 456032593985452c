# Turns data/controller_list.csv into a C++ table, so the controller name
# table is part of the program and needs no file at run time.
#   cmake -DINPUT=<csv> -DOUTPUT=<cpp> -P GenerateControllerList.cmake
# A malformed row stops the build with its line number.
if(NOT INPUT OR NOT OUTPUT)
  message(FATAL_ERROR "GenerateControllerList: INPUT and OUTPUT are required")
endif()

file(STRINGS ${INPUT} lines ENCODING UTF-8)
set(rows "")
set(number 0)
foreach(line IN LISTS lines)
  math(EXPR number "${number} + 1")
  if(number EQUAL 1)
    if(NOT line STREQUAL "product_id,device_type,name")
      message(FATAL_ERROR "${INPUT}:1: unexpected header '${line}'")
    endif()
    continue()
  endif()
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^([0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F]),([0-9]+),(.*)$")
    message(FATAL_ERROR "${INPUT}:${number}: malformed row '${line}'")
  endif()
  set(id ${CMAKE_MATCH_1})
  set(type ${CMAKE_MATCH_2})
  set(name "${CMAKE_MATCH_3}")
  if(name STREQUAL "")
    set(name_literal "nullptr")
  else()
    string(REPLACE "\\" "\\\\" name "${name}")
    string(REPLACE "\"" "\\\"" name "${name}")
    set(name_literal "\"${name}\"")
  endif()
  string(APPEND rows "    {0x${id}, ${type}, ${name_literal}},\n")
endforeach()

set(content "// Generated from controller_list.csv by GenerateControllerList.cmake; do not edit.
#include \"core/input/ControllerNames.h\"

namespace brevanto {
namespace {

constexpr ControllerListEntry kControllerList[] = {
${rows}};

}  // namespace

std::span<const ControllerListEntry> ControllerList() {
  return kControllerList;
}

}  // namespace brevanto
")
# Rewrite only on change so an unchanged list does not rebuild the core.
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${content}")
