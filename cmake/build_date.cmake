# What makes the shipped files depend on the build time, and SOURCE_DATE_EPOCH
# as the way to fix it (make dist sets it to the commit's time):
#   ${PELLWICK_EPOCH_STAMP} holds SOURCE_DATE_EPOCH, rewritten only when it
#     changes; whatever embeds a time depends on it, so switching to or from a
#     reproducible build redoes exactly those steps;
#   pellwick_relink_on_source_date_epoch(TARGET): TARGET's image carries the
#     linker's time stamp (ld takes SOURCE_DATE_EPOCH when it is set);
#   pellwick_link_build_date(TARGET): TARGET also carries the version line's
#     build date, taken when TARGET is linked. A step just before the link
#     writes and compiles its definition (server/build_date.cmake); the object
#     goes to the linker as a plain argument, so no path of it enters the image.
set(PELLWICK_BUILD_DATE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../server/build_date.cmake)
set(PELLWICK_EPOCH_STAMP ${CMAKE_BINARY_DIR}/source_date_epoch.txt)
add_custom_target(pellwick_source_date_epoch
  COMMAND ${CMAKE_COMMAND} -DEPOCH_STAMP=${PELLWICK_EPOCH_STAMP} -P ${PELLWICK_BUILD_DATE_SCRIPT}
  BYPRODUCTS ${PELLWICK_EPOCH_STAMP}
  VERBATIM)

function(pellwick_relink_on_source_date_epoch target)
  add_dependencies(${target} pellwick_source_date_epoch)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PELLWICK_EPOCH_STAMP})
endfunction()

function(pellwick_link_build_date target)
  pellwick_relink_on_source_date_epoch(${target})
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}_build_date)
  file(MAKE_DIRECTORY ${folder})
  # Compiled from inside its folder by a relative name: no path in the object.
  add_custom_command(TARGET ${target} PRE_LINK
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=build_date.c -P ${PELLWICK_BUILD_DATE_SCRIPT}
    COMMAND ${CMAKE_C_COMPILER} -c build_date.c -o build_date.o
    WORKING_DIRECTORY ${folder}
    VERBATIM)
  target_link_options(${target} PRIVATE ${folder}/build_date.o)
endfunction()
