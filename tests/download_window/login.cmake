# The login panel in a real browser against the fixture site, and the whole
# login road with a real engine.
paperdrift_add_test(tst_login_panel LABEL gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_login_panel.cpp
                    LIBS download_login fixture_site)
paperdrift_add_test(tst_login_road LABEL e2e SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_login_road.cpp
                    LIBS download_login fixture_site)
