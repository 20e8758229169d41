# The download window's rules without a window, and the window itself.
paperdrift_add_test(tst_window_rules LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_window_rules.cpp LIBS download_window_rules)
paperdrift_add_test(tst_download_window LABEL gui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_download_window.cpp LIBS download_window test_support)

# paperdrift started as a program, for what it says before a window opens.
paperdrift_add_test(tst_paperdrift_program LABEL e2e
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_paperdrift_program.cpp)
target_compile_definitions(tst_paperdrift_program PRIVATE PAPERDRIFT_PATH="$<TARGET_FILE:paperdrift>"
  PROJECT_VERSION_TEXT="${PROJECT_VERSION}")
add_dependencies(tst_paperdrift_program paperdrift)
