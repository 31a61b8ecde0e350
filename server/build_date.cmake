# Two steps of the version line's build date, run with cmake -P:
#   -DEPOCH_STAMP=FILE  keeps FILE holding SOURCE_DATE_EPOCH (empty when unset),
#                       rewritten only when it changed, so that switching to or
#                       from a reproducible build relinks what carries the date;
#   -DOUTPUT=FILE       writes a C source defining pellwick_build_date, run
#                       just before a link, so the date is the link's.
# The date reads "Mon Jul 9 17:29:50 2018" (day without padding): local time,
# or with SOURCE_DATE_EPOCH that moment in UTC, the same on every machine.
if(DEFINED EPOCH_STAMP)
  set(text "$ENV{SOURCE_DATE_EPOCH}\n")
  set(path "${EPOCH_STAMP}")
else()
  set(utc)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(utc UTC)
  endif()
  string(TIMESTAMP weekday "%a" ${utc})
  string(TIMESTAMP month "%b" ${utc})
  string(TIMESTAMP day "%d" ${utc})
  string(TIMESTAMP clock "%H:%M:%S" ${utc})
  string(TIMESTAMP year "%Y" ${utc})
  math(EXPR day "${day}")
  set(text "const char pellwick_build_date[] = \"${weekday} ${month} ${day} ${clock} ${year}\";\n")
  set(path "${OUTPUT}")
endif()
if(EXISTS "${path}")
  file(READ "${path}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${path}" "${text}")
endif()
