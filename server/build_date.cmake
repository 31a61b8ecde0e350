# Writes build_date.h with the build's local date and time in the form
# "Mon Jul 9 17:29:50 2018" (day without padding). CMake's TIMESTAMP honours
# SOURCE_DATE_EPOCH, so reproducible builds get a fixed date.
string(TIMESTAMP weekday "%a")
string(TIMESTAMP month "%b")
string(TIMESTAMP day "%d")
string(TIMESTAMP clock "%H:%M:%S")
string(TIMESTAMP year "%Y")
math(EXPR day "${day}")
set(text "#pragma once\n#define PELLWICK_BUILD_DATE \"${weekday} ${month} ${day} ${clock} ${year}\"\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
