cmake_minimum_required(VERSION 3.25)
# Starts the program where no display can be reached and checks that it
# says so in one line on stderr and exits non-zero, without aborting.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
          ${PROGRAM}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  TIMEOUT 30)
string(STRIP "${err}" err_stripped)
string(REGEX MATCHALL "\n" newlines "${err_stripped}")
list(LENGTH newlines extra_lines)
if(result EQUAL 0 OR NOT result MATCHES "^[0-9]+$")
  message(FATAL_ERROR "expected a non-zero exit status, got '${result}'\nstderr: ${err}")
endif()
if(NOT extra_lines EQUAL 0 OR NOT err_stripped MATCHES "no display")
  message(FATAL_ERROR "expected one line about the display on stderr, got:\n${err}")
endif()
message(STATUS "exit ${result}: ${err_stripped}")
