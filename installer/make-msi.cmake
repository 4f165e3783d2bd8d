# Runs wixl for one architecture in BIN_DIR, where the package's files are, then marks
# the public properties secure (wixl writes only the upgrade's): a managed installation
# passes only those to the actions that run as the system.
foreach(required WIXL MSIBUILD ARCH SCRIPT BIN_DIR OUT_FILE VERSION PRODUCT_CODE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "make-msi.cmake: ${required} is not set")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/companions.cmake)
set(defines -D ARCH=${ARCH} -D VERSION=${VERSION} -D PRODUCT_CODE=${PRODUCT_CODE})
veltrano_companions(${BIN_DIR} "${REQUIRED}" companions)
foreach(companion ${companions})
  list(APPEND defines -D ${companion})
endforeach()

get_filename_component(out_dir ${OUT_FILE} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
set(secure "OPTIMIZE;FIRSTRUN;SETTINGS;OLDERVELTRANO;NEWERVELTRANO")
execute_process(COMMAND ${WIXL} -a ${ARCH} ${defines} -o ${OUT_FILE} ${SCRIPT}
                WORKING_DIRECTORY ${BIN_DIR} RESULT_VARIABLE result OUTPUT_VARIABLE log
                ERROR_VARIABLE log)
if(result EQUAL 0)
  execute_process(COMMAND ${MSIBUILD} ${OUT_FILE} -q
    "UPDATE `Property` SET `Value` = '${secure}' WHERE `Property` = 'SecureCustomProperties'"
    RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
endif()
if(NOT result EQUAL 0)
  file(REMOVE ${OUT_FILE})
  message(FATAL_ERROR "${log}\nthe package ${OUT_FILE} failed (${result})")
endif()
