# cmake -DPROGRAMS="a;b" -P CheckHardening.cmake
# Each program binds every symbol at start (BIND_NOW, so its relocations can be made
# read-only) and calls the fortified forms of the C library's functions.
foreach(program ${PROGRAMS})
  execute_process(COMMAND readelf --dynamic --dyn-syms --wide ${program}
                  RESULT_VARIABLE status OUTPUT_VARIABLE elf ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "readelf failed on ${program}: ${error}")
  endif()
  if(NOT elf MATCHES "\\(FLAGS\\)[^\n]*BIND_NOW" AND NOT elf MATCHES "\\(FLAGS_1\\)[^\n]*NOW")
    message(SEND_ERROR "${program} does not bind its symbols at start (no BIND_NOW)")
  endif()
  if(NOT elf MATCHES "__[a-z_]+_chk@")
    message(SEND_ERROR "${program} calls no fortified function (no __*_chk)")
  endif()
endforeach()
