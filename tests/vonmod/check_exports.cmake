# Compares the dynamic symbols that libvonmodvb.so defines with its public functions.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE table RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[0-9a-f]+ [A-Za-z] [^\n]+" lines "${table}")
set(found "")
foreach(line ${lines})
  string(REGEX REPLACE "^[0-9a-f]+ ([A-Za-z]) (.+)$" "\\1;\\2" parts "${line}")
  list(GET parts 0 kind)
  list(GET parts 1 name)
  # Sanitizer and weak runtime symbols are not ours.
  if(kind MATCHES "^[TDBR]$" AND NOT name MATCHES "^(_init|_fini|__asan|__ubsan|__sanitizer|__odr_asan)")
    list(APPEND found ${name})
  endif()
endforeach()
set(expected
  Vonmod_EnumerateDev Vonmod_OpenDevice Vonmod_ReleaseDevice Vonmod_GetDeviceSerialNo Vonmod_ReadSingleAnalogIn
  Vonmod_ReadCounter Vonmod_DIO Vonmod_ReadMultiAnalogIn Vonmod_BitsToVolt Vonmod_VoltToBits Vonmod_AIStartStream
  Vonmod_AIStopStream Vonmod_AIGetScans Vonmod_GetCredits Vonmod_GetDLLVersion Vonmod_GetFirmwareVersion
  Vonmod_GetErrorDes Vonmod_Reset Vonmod_PWMOut Vonmod_STOPPWM Vonmod_ReadMemory Vonmod_WriteMemory
  Vonmod_ReadVONM_DEVID Vonmod_10bitPWMOut Vonmod_AIStartContinuous Vonmod_AIStopContinuous)
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exports differ\n  found:    ${found}\n  expected: ${expected}")
endif()
list(LENGTH found n)
message(STATUS "${n} exports")
