# cmake -DOBJDUMP=... -DEXE=... -DDLLS=a;b -P CheckDelayLoad.cmake: fails when EXE imports one of DLLS the
# ordinary way (its import table names it), which means it is loaded before the program's first line.
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
string(TOLOWER "${dump}" dump)
foreach(dll IN LISTS DLLS)
  string(TOLOWER "${dll}" name)
  string(FIND "${dump}" "dll name: ${name}.dll" at)
  if(NOT at EQUAL -1)
    string(SUBSTRING "${dump}" ${at} 400 entries)
    message(FATAL_ERROR "${EXE} imports ${dll}.dll directly, not on first use: a function it calls is missing "
                        "from cmake/delayload/${dll}.def, or a library comes after the delay-import libraries.\n${entries}")
  endif()
endforeach()
