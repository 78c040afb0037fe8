# Makes a delay-import library from an import library: every function the DLL exports is bound
# on its first call instead of at the program's start. Run by kasumiro_delay_import():
#   cmake -DNM=... -DDLLTOOL=... -DIMPORT=lib.dll.a -DDLL=name.dll -DOUTPUT=lib.delay.a -P this
execute_process(COMMAND ${NM} -g ${IMPORT} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${IMPORT}")
endif()
string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
set(definitions "LIBRARY ${DLL}\nEXPORTS\n")
foreach(import IN LISTS imports)
  string(REPLACE " I __imp_" "" name "${import}")
  string(APPEND definitions "${name}\n")
endforeach()
if(NOT imports)
  message(FATAL_ERROR "${IMPORT} names no function of ${DLL}")
endif()
file(WRITE ${OUTPUT}.def "${definitions}")
execute_process(COMMAND ${DLLTOOL} --input-def ${OUTPUT}.def --dllname ${DLL} --output-delaylib ${OUTPUT}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${DLLTOOL} could not make ${OUTPUT}")
endif()
