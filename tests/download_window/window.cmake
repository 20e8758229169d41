# The download window's rules without a window, and the window itself.
paperdrift_add_test(tst_window_rules LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_window_rules.cpp LIBS download_window_rules)
paperdrift_add_test(tst_download_window LABEL gui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_download_window.cpp LIBS download_window test_support)
