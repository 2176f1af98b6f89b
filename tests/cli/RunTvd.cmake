# Runs tvd once and checks its exit status and its output line by line.
#   -DTVD=program -DEMULATOR=runner-or-empty -DDIR=working-folder
#   -DARGS=a|b|c -DEXPECT_RC=n -DEXPECT_OUT=file [-DSAME_A=file -DSAME_B=file]
#   [-DCOPY=from|to] [-DFRESH=file] [-DEXPECT_ERR=file]
# COPY copies a file of DIR before the run, FRESH removes one; EXPECT_ERR
# also checks stderr.
string(REPLACE "|" ";" args "${ARGS}")
if(COPY)
  string(REPLACE "|" ";" copy "${COPY}")
  list(GET copy 0 from)
  list(GET copy 1 to)
  file(COPY_FILE ${DIR}/${from} ${DIR}/${to})
endif()
if(FRESH)
  file(REMOVE ${DIR}/${FRESH})
endif()
# Backups of the files saved go to the work folder, not the user's.
set(ENV{XDG_DATA_HOME} ${DIR}/backups-home)
execute_process(COMMAND ${EMULATOR} ${TVD} ${args}
  WORKING_DIRECTORY ${DIR}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r" "" out "${out}")
file(READ ${EXPECT_OUT} expected)
if(NOT rc STREQUAL EXPECT_RC)
  message(FATAL_ERROR "tvd ${ARGS}: exit status ${rc}, expected ${EXPECT_RC}\n${out}${err}")
endif()
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "tvd ${ARGS}: output\n${out}expected\n${expected}")
endif()
if(EXPECT_ERR)
  string(REPLACE "\r" "" err_lines "${err}")
  file(READ ${EXPECT_ERR} expected_err)
  if(NOT err_lines STREQUAL expected_err)
    message(FATAL_ERROR "tvd ${ARGS}: stderr\n${err_lines}expected\n${expected_err}")
  endif()
endif()
if(EXPECT_RC STREQUAL "2" AND NOT err MATCHES "usage: tvd check FILE")
  message(FATAL_ERROR "tvd ${ARGS}: no usage text on stderr:\n${err}")
endif()
if(SAME_A)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SAME_A} ${SAME_B} RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${SAME_B} differs from ${SAME_A}")
  endif()
endif()
