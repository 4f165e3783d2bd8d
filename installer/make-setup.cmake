# Runs makensis for one architecture. Each companion file found in BIN_DIR (whatever the
# case of its name) is handed to the script by its define; a missing one is left out,
# unless REQUIRED (a comma-separated list of lower-case file names) names it.
foreach(required MAKENSIS ARCH SCRIPT BIN_DIR OUT_FILE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "make-setup.cmake: ${required} is not set")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/companions.cmake)
set(defines -DARCH=${ARCH} -DBIN_DIR=${BIN_DIR} -DOUT_FILE=${OUT_FILE})
veltrano_companions(${BIN_DIR} "${REQUIRED}" companions)
foreach(companion ${companions})
  string(REPLACE "=" "=${BIN_DIR}/" define ${companion})
  list(APPEND defines -D${define})
endforeach()

execute_process(COMMAND ${MAKENSIS} -V2 -WX ${defines} ${SCRIPT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUT_FILE})
  message(FATAL_ERROR "makensis failed (${result})")
endif()
