# Runs PROGRAM with the |-separated ARGS and compares its standard output with
# the file EXPECTED byte for byte. Used as: cmake -DPROGRAM=... -DARGS=...
# -DEXPECTED=... -P ExpectOutput.cmake
# Optional: -DEXIT=N, the exit code the program must end with (0 by default),
# and -DERRORS=REGEX, what its error output must contain.
string(REPLACE "|" ";" ARGS "${ARGS}")
if(NOT DEFINED EXIT)
  set(EXIT 0)
endif()
execute_process(COMMAND ${PROGRAM} ${ARGS}
                OUTPUT_VARIABLE actual
                ERROR_VARIABLE errors
                RESULT_VARIABLE result)
if(NOT result EQUAL EXIT)
  message(FATAL_ERROR "${PROGRAM} ${ARGS} exited with ${result}, not ${EXIT}:\n${errors}")
endif()
if(DEFINED ERRORS AND NOT errors MATCHES "${ERRORS}")
  message(FATAL_ERROR "Error output does not match '${ERRORS}':\n${errors}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "Output differs from ${EXPECTED}.\n--- expected\n${expected}\n--- actual\n${actual}")
endif()
