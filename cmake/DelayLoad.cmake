# Delay-loaded system libraries: a DLL the program needs only for the editor, printing, dialogs or an
# action is loaded on its first call instead of before the first line of the program runs, which keeps
# the start to the tray icon short. Each cmake/delayload/<dll>.def lists the functions the programs call,
# with the argument sizes that 32-bit names carry (name@bytes); the 64-bit names have none.
#
# hk_delay_load(TARGET DLL...): TARGET imports the named DLLs on first use. Call it after TARGET's own
# libraries are linked: the delay-import libraries must come before the ordinary ones on its link line.
find_program(HK_DLLTOOL NAMES ${MINGW_PREFIX}-dlltool dlltool)

function(hk_delay_load target)
  if(NOT WIN32 OR NOT HK_DLLTOOL)
    return()
  endif()
  get_target_property(own ${target} LINK_LIBRARIES)
  set(libs)
  foreach(dll IN LISTS ARGN)
    set(def ${PROJECT_SOURCE_DIR}/cmake/delayload/${dll}.def)
    set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
    if(NOT TARGET delayload_${dll})
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(kill_at --kill-at)  # the linker's names keep @bytes, the names looked up in the DLL do not
      else()
        file(READ ${def} text)
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        set(def ${CMAKE_BINARY_DIR}/delayload/${dll}.def)
        file(WRITE ${def} "${text}")
        set(kill_at)
      endif()
      add_custom_command(OUTPUT ${lib}
                         COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
                         COMMAND ${HK_DLLTOOL} --input-def ${def} --output-delaylib ${lib} --dllname ${dll}.dll
                                 ${kill_at}
                         DEPENDS ${def} VERBATIM)
      add_custom_target(delayload_${dll} DEPENDS ${lib})
    endif()
    add_dependencies(${target} delayload_${dll})
    list(APPEND libs ${lib})
  endforeach()
  # The target's static libraries again, then the delay-import libraries: the linker takes an import from
  # the first library after the reference that has it, and the ordinary import libraries come last.
  target_link_libraries(${target} PRIVATE ${own} ${libs})
  # A call from a library that comes after the delay-import libraries on the link line imports its DLL the
  # ordinary way, and the DLL is loaded before the program starts again: the build fails then.
  if(CMAKE_OBJDUMP)
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DEXE=$<TARGET_FILE:${target}>
                               "-DDLLS=${ARGN}" -P ${PROJECT_SOURCE_DIR}/cmake/CheckDelayLoad.cmake
                       VERBATIM)
  endif()
endfunction()
