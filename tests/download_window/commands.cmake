# The list, open and export commands and the batch URL replace.
set(_commands_rig ${CMAKE_SOURCE_DIR}/tests/engine/FakeEngineRig.h ${CMAKE_SOURCE_DIR}/tests/engine/FakeTransfer.h)
paperdrift_add_test(tst_list_commands LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_list_commands.cpp ${_commands_rig} LIBS download_commands)
paperdrift_add_test(tst_file_commands LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_file_commands.cpp ${_commands_rig} LIBS download_commands)
paperdrift_add_test(tst_url_replace_dialog LABEL gui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_url_replace_dialog.cpp LIBS download_commands_widgets)
paperdrift_add_test(tst_desktop_shell LABEL gui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_desktop_shell.cpp LIBS platform_widgets)
