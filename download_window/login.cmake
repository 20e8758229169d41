# The login panel PicWebBK and the waits of its login attempts.
add_library(download_login STATIC
  ${CMAKE_CURRENT_LIST_DIR}/LoginTexts.h
  ${CMAKE_CURRENT_LIST_DIR}/LoginScripts.h ${CMAKE_CURRENT_LIST_DIR}/LoginScripts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoginPanel.h ${CMAKE_CURRENT_LIST_DIR}/LoginPanel.cpp
)
target_include_directories(download_login PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(download_login PUBLIC browser engine common platform_core Qt6::Widgets)
