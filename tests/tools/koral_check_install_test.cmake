# koral --check-install finds the manual and the sound beside the program, and
# names the folders it searched when they are not there.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

execute_process(COMMAND ${KORAL} --check-install RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
get_filename_component(folder ${KORAL} DIRECTORY)
if(NOT code EQUAL 0 OR NOT out STREQUAL "manual: ${folder}/koral.hlp\nsound: ${folder}/AntiAir.wav\n")
  message(FATAL_ERROR "beside the program: exit ${code}\n${out}\n${err}")
endif()

# Alone in a folder, and nothing installed in the data folder either.
if(EXISTS "${DATA_DIR}/koral.hlp" OR EXISTS "${DATA_DIR}/AntiAir.wav")
  message(STATUS "${DATA_DIR} holds an installed copy; the missing case is not checked")
  return()
endif()
file(COPY ${KORAL} DESTINATION "${WORK}")
execute_process(COMMAND "${WORK}/koral" --check-install WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE code
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code EQUAL 1 OR NOT out MATCHES "manual: koral.hlp not found in ${WORK}, ${DATA_DIR}\n"
   OR NOT out MATCHES "sound: AntiAir.wav not found in ")
  message(FATAL_ERROR "alone: exit ${code}\n${out}\n${err}")
endif()
