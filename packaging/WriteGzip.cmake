# Writes OUTPUT, a gzip-compressed file without a name or time stamp in its header (so the same
# input gives the same bytes), from SOURCE, or from PROGRAM's --help and --version through
# help2man (HELP2MAN, with the include file INCLUDE). The file appears only once complete.
#   cmake -DOUTPUT=… (-DSOURCE=… | -DHELP2MAN=… -DPROGRAM=… -DINCLUDE=…) -P WriteGzip.cmake
set(_part "${OUTPUT}.part")
if(PROGRAM)
  set(SOURCE "${OUTPUT}.1")
  # A tool started for its --help needs no display; its warnings on standard error are dropped.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
      ${HELP2MAN} --include=${INCLUDE} --locale=C.UTF-8 --output=${SOURCE} ${PROGRAM}
    RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    file(REMOVE "${SOURCE}")
    message(FATAL_ERROR "help2man ${PROGRAM}: ${_rc}")
  endif()
endif()
execute_process(COMMAND gzip -9 -n -c "${SOURCE}" OUTPUT_FILE "${_part}" RESULT_VARIABLE _rc)
if(PROGRAM)
  file(REMOVE "${SOURCE}")
endif()
if(NOT _rc EQUAL 0)
  file(REMOVE "${_part}")
  message(FATAL_ERROR "gzip ${SOURCE}: ${_rc}")
endif()
file(RENAME "${_part}" "${OUTPUT}")
