# Copies the program's data files beside the executable. Files the user may
# have changed (the settings hive, items lists, notes) are never overwritten.
file(MAKE_DIRECTORY ${BIN_DIR}/Main ${BIN_DIR}/View ${BIN_DIR}/sound ${BIN_DIR}/SysIcon ${BIN_DIR}/registry)

if(NOT EXISTS ${BIN_DIR}/registry/HKEY_LOCAL_MACHINE.reg)
  file(COPY ${DATA_DIR}/registry/HKEY_LOCAL_MACHINE.reg DESTINATION ${BIN_DIR}/registry)
endif()

# The program's help page is the program's own: always the current one.
file(COPY ${DATA_DIR}/Help.html DESTINATION ${BIN_DIR})

# Generated files: the notification chime and the tray icon.
execute_process(COMMAND ${MAKEDATA} ${BIN_DIR} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "Could not generate the program's data files")
endif()
