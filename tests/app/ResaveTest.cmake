# brevantoctl resave as a user runs it: exit codes, messages and the file it
# writes. Called with BREVANTOCTL, DATA (tests/data) and WORK (a scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect_run expected_code expected_stderr)
  execute_process(COMMAND ${BREVANTOCTL} ${ARGN} RESULT_VARIABLE code ERROR_VARIABLE err
                  OUTPUT_QUIET)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "brevantoctl ${ARGN}: exit ${code}, expected ${expected_code}: ${err}")
  endif()
  if(NOT err MATCHES "${expected_stderr}")
    message(FATAL_ERROR "brevantoctl ${ARGN}: stderr '${err}' lacks '${expected_stderr}'")
  endif()
endfunction()

function(expect_contains path text)
  file(READ ${path} content)
  string(FIND "${content}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${path} lacks '${text}':\n${content}")
  endif()
endfunction()

# An old CP932 profile comes out as UTF-8 with a byte-order mark, in the
# current format, replacing what OUT held.
set(out ${WORK}/Out.cfg)
file(WRITE ${out} "[Stale]\nOld=1\n")
expect_run(0 "^$" resave ${DATA}/profiles/cp932_no_bom.cfg ${out})
file(READ ${out} mark LIMIT 3 HEX)
if(NOT mark STREQUAL "efbbbf")
  message(FATAL_ERROR "no UTF-8 byte-order mark: ${mark}")
endif()
expect_contains(${out} "FileVersion=70")
expect_contains(${out} "DefaultDisplayName=ジョイパッド")
expect_contains(${out} "Button01=6, \"ゲーム２\", 0")
file(READ ${out} content)
if(content MATCHES "Stale")
  message(FATAL_ERROR "OUT's old content survived")
endif()

# Unknown sections of the input carry over.
expect_run(0 "^$" resave ${DATA}/profiles/unknown_keys.cfg ${out})
expect_contains(${out} "[Plugin]")

expect_run(1 "cannot read" resave ${WORK}/Missing.cfg ${WORK}/Never.cfg)
if(EXISTS ${WORK}/Never.cfg)
  message(FATAL_ERROR "a failed resave wrote its output")
endif()
expect_run(1 "cannot write" resave ${DATA}/profiles/every_kind.cfg ${WORK}/no/such/folder/X.cfg)
expect_run(2 "usage" resave ${DATA}/profiles/every_kind.cfg)
