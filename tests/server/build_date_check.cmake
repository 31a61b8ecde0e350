# The build date is taken at link time: a rebuild after a source change gets a
# new date, a rebuild without one relinks nothing, and SOURCE_DATE_EPOCH fixes
# the date (in UTC) and relinks when it changes. Run with cmake -P and
# -DPELLWICK_ROOT, -DWORK (a scratch folder), -DCOMPILER (a native C compiler).
set(source ${WORK}/source)
set(tree ${WORK}/tree)
file(REMOVE_RECURSE ${WORK})
file(COPY ${PELLWICK_ROOT}/tests/server/build_date_project/ DESTINATION ${source})
unset(ENV{SOURCE_DATE_EPOCH})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed:\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# Builds, runs the probe and sets `date`; `built` tells whether it was relinked.
function(build_and_read)
  run(${CMAKE_COMMAND} --build ${tree})
  if(out MATCHES "Linking")
    set(built TRUE PARENT_SCOPE)
  else()
    set(built FALSE PARENT_SCOPE)
  endif()
  run(${tree}/build_date_probe)
  string(STRIP "${out}" out)
  if(NOT out MATCHES "^(Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z][a-z] [1-9][0-9]? [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9][0-9][0-9][0-9]$")
    message(FATAL_ERROR "the build date \"${out}\" is not in the version line's form")
  endif()
  set(date "${out}" PARENT_SCOPE)
endfunction()

function(expect what actual expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(FATAL_ERROR "${what}: got \"${actual}\", expected \"${expected}\"")
  endif()
endfunction()

run(${CMAKE_COMMAND} -S ${source} -B ${tree} -G Ninja -DCMAKE_C_COMPILER=${COMPILER}
    -DPELLWICK_ROOT=${PELLWICK_ROOT})
build_and_read()
set(first "${date}")

build_and_read()
expect("a rebuild without changes relinked" "${built}" FALSE)
expect("a rebuild without changes changed the date" "${date}" "${first}")

# A second later, a changed source: relinked, with the new time.
execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1.2)
file(APPEND ${source}/probe.c "/* changed */\n")
build_and_read()
if(date STREQUAL first)
  message(FATAL_ERROR "a rebuild after a source change kept the date ${first}")
endif()

set(ENV{SOURCE_DATE_EPOCH} 1531157390)
build_and_read()
expect("SOURCE_DATE_EPOCH 1531157390" "${date}" "Mon Jul 9 17:29:50 2018")
set(ENV{SOURCE_DATE_EPOCH} 1700000000)
build_and_read()
expect("SOURCE_DATE_EPOCH 1700000000" "${date}" "Tue Nov 14 22:13:20 2023")
build_and_read()
expect("an unchanged SOURCE_DATE_EPOCH relinked" "${built}" FALSE)
message(STATUS "build date checks passed")
