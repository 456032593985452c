# Writes the udev rules that let the user at the seat read the hidraw nodes of
# the game controllers in controller_list.csv: one line per product, matched
# on the HID device above the node (<bus>:<vendor>:<product>.<n>), so USB and
# Bluetooth connections are both covered. Only listed controllers get access:
# a keyboard's hidraw node would show everything typed on it.
function(brevanto_write_hidraw_rules csv output)
  file(STRINGS ${csv} rows)
  list(POP_FRONT rows)
  string(CONCAT content "# Generated from controller_list.csv: the game controllers whose hidraw nodes\n"
              "# the user logged in at the seat may read.\n")
  set(seen "")
  foreach(row IN LISTS rows)
    string(REGEX MATCH "^([0-9A-F][0-9A-F][0-9A-F][0-9A-F])([0-9A-F][0-9A-F][0-9A-F][0-9A-F]),[^,]*,(.*)$" match "${row}")
    if(NOT match)
      message(FATAL_ERROR "controller_list.csv: bad row '${row}'")
    endif()
    set(vendor ${CMAKE_MATCH_1})
    set(product ${CMAKE_MATCH_2})
    set(name "${CMAKE_MATCH_3}")
    if("${vendor}${product}" IN_LIST seen)
      continue()
    endif()
    list(APPEND seen "${vendor}${product}")
    if(name)
      string(APPEND content "# ${name}\n")
    endif()
    string(APPEND content "KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", KERNELS==\"*:${vendor}:${product}.*\", TAG+=\"uaccess\"\n")
  endforeach()
  file(CONFIGURE OUTPUT ${output} CONTENT "${content}" @ONLY)
endfunction()
