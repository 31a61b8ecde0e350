# find_package(Pellwick CONFIG) for programs that embed ActivityCtrl. Gives
#   Pellwick::Pellwick          an interface target: the folder of PellwickHost.h,
#                               and the type library's path in its property
#                               PELLWICK_TYPE_LIBRARY (also Pellwick_TYPE_LIBRARY)
#   pellwick_deploy_runtime(<target>)
#                               copies, after each build of <target>, the DLL of
#                               the project's word size, its assembly manifest and
#                               resdll\ beside the target's file, so that a program
#                               with the manifest dependency runs without
#                               registration.
# It works from the unpacked release zip (x86\ and x64\ below this folder's
# parent) and from what the installer put on a build machine (this folder
# beside the DLL of the installer's native word size, the x86 one in the
# 32-bit Program Files).
get_filename_component(_pellwick_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(EXISTS "${_pellwick_root}/x86/Pellwick.dll" OR EXISTS "${_pellwick_root}/x64/Pellwick.dll")
  set(Pellwick_X86_DIR "${_pellwick_root}/x86")
  set(Pellwick_X64_DIR "${_pellwick_root}/x64")
else()
  set(_pellwick_pf86 "ProgramFiles(x86)")
  file(TO_CMAKE_PATH "$ENV{${_pellwick_pf86}}" _pellwick_pf86)
  if(_pellwick_pf86 AND NOT _pellwick_root STREQUAL "${_pellwick_pf86}/Pellwick")
    set(Pellwick_X86_DIR "${_pellwick_pf86}/Pellwick")
    set(Pellwick_X64_DIR "${_pellwick_root}")
  else()
    set(Pellwick_X86_DIR "${_pellwick_root}")
    set(Pellwick_X64_DIR "")
  endif()
endif()
set(Pellwick_INCLUDE_DIR "${_pellwick_root}/include")
set(Pellwick_TYPE_LIBRARY "${_pellwick_root}/include/PellwickLib.tlb")

if(NOT TARGET Pellwick::Pellwick)
  add_library(Pellwick::Pellwick INTERFACE IMPORTED)
  set_target_properties(Pellwick::Pellwick PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${Pellwick_INCLUDE_DIR}"
    PELLWICK_TYPE_LIBRARY "${Pellwick_TYPE_LIBRARY}")
endif()

function(pellwick_deploy_runtime target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(from "${Pellwick_X64_DIR}")
  else()
    set(from "${Pellwick_X86_DIR}")
  endif()
  if(NOT from OR NOT EXISTS "${from}/Pellwick.dll")
    message(FATAL_ERROR "pellwick_deploy_runtime: no Pellwick.dll of this word size in '${from}'")
  endif()
  file(GLOB satellites "${from}/resdll/*.rsc")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${from}/Pellwick.dll"
            "${from}/Pellwick.ActivityCtrl.manifest" "$<TARGET_FILE_DIR:${target}>"
    COMMAND ${CMAKE_COMMAND} -E make_directory "$<TARGET_FILE_DIR:${target}>/resdll"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${satellites} "$<TARGET_FILE_DIR:${target}>/resdll"
    VERBATIM)
endfunction()
