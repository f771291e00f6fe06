# cmake -DCOMMAND=a|b|c -DREASON=regex -P ExpectError.cmake
# Runs COMMAND (words separated by '|') and passes only when it exits with
# code 1 and prints exactly one line on stderr, "trv4: error: ..." matching
# REASON: a refusal, not a crash and not a success.
string(REPLACE "|" ";" words "${COMMAND}")
execute_process(COMMAND ${words} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 1)
  message(FATAL_ERROR "exit code ${code}, expected 1; stderr: ${err}")
endif()
if(NOT err MATCHES "^trv4: error: [^\n]*\n$")
  message(FATAL_ERROR "expected one error line, got: ${err}")
endif()
if(NOT err MATCHES "${REASON}")
  message(FATAL_ERROR "the error does not say \"${REASON}\": ${err}")
endif()
