# Runs PROGRAM with the |-separated ARGS and compares its standard output with
# the file EXPECTED byte for byte. Used as: cmake -DPROGRAM=... -DARGS=...
# -DEXPECTED=... -P ExpectOutput.cmake
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND ${PROGRAM} ${ARGS}
                OUTPUT_VARIABLE actual
                ERROR_VARIABLE errors
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${ARGS} exited with ${result}:\n${errors}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "Output differs from ${EXPECTED}.\n--- expected\n${expected}\n--- actual\n${actual}")
endif()
