# Runs koralctl show on the defaults, on a good file and on bad ones, and checks
# the exit codes and messages scripts rely on.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(expect_run expected_code)
  execute_process(COMMAND ${KORALCTL} ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "koralctl ${ARGN}: exit ${code}, expected ${expected_code}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_match text pattern)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "expected /${pattern}/ in:\n${text}")
  endif()
endfunction()

expect_run(0 show)
expect_match("${out}" "Relay Output +ALARM +ALARM")
expect_match("${out}" "Baud Rate +4800,n,8,1 +4800,n,8,1")
expect_match("${out}" "Unit Input Address +00 +00")

# A short file is accepted: every missing line reads 0.
file(WRITE "${WORK}/short.txt" " 208 \r\n 209 \r\n")
expect_run(0 show "${WORK}/short.txt")
expect_match("${out}" "Row 01 +ABAAAAAAAAAAAAAAAAAAAAAA +AAAAAAAAAAAAAAAAAAAAAAAA")

file(WRITE "${WORK}/bad.txt" " 208 \n 208 \n 300 \n")
expect_run(3 show "${WORK}/bad.txt")
expect_match("${err}" "bad.txt: line 3: 300 is outside 0..255")
if(NOT out STREQUAL "")
  message(FATAL_ERROR "a rejected file must print no settings")
endif()

# Text without a single number is some other file: refused, not loaded as zeros.
file(WRITE "${WORK}/README.md" "# KORAL\n\nNotes on the gate camera.\n")
expect_run(3 show "${WORK}/README.md")
expect_match("${err}" "README.md: no line holds a number: not a settings file")
if(NOT out STREQUAL "")
  message(FATAL_ERROR "a file that is no settings file must print no settings")
endif()

expect_run(3 show "${WORK}/missing.txt")
expect_match("${err}" "missing.txt: cannot be opened")

expect_run(2 show a b)
expect_run(2 frobnicate)
expect_run(0 show --help)

# diff names each setting that differs, with its bank.
file(WRITE "${WORK}/other.txt" " 208 \r\n 208 \r\n")
expect_run(0 diff "${WORK}/short.txt" "${WORK}/other.txt")
expect_match("${out}" "^Row 01: ABAAAAAAAAAAAAAAAAAAAAAA → AAAAAAAAAAAAAAAAAAAAAAAA \\(DAY\\)\n$")
expect_run(0 diff "${WORK}/short.txt" "${WORK}/short.txt")
if(NOT out STREQUAL "")
  message(FATAL_ERROR "identical files must show no difference:\n${out}")
endif()
expect_run(3 diff "${WORK}/short.txt" "${WORK}/bad.txt")
expect_match("${err}" "bad.txt: line 3")
expect_run(2 diff "${WORK}/short.txt")
