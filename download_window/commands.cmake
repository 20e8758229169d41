# The download list's commands, the open and export commands and the batch
# URL replace: rules over the engine (Qt Core), and the replace dialog.
add_library(download_commands STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CommandTexts.h
  ${CMAKE_CURRENT_LIST_DIR}/ListCommands.h ${CMAKE_CURRENT_LIST_DIR}/ListCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileCommands.h ${CMAKE_CURRENT_LIST_DIR}/FileCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UrlReplace.h ${CMAKE_CURRENT_LIST_DIR}/UrlReplace.cpp
)
target_include_directories(download_commands PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(download_commands PUBLIC engine platform_core Qt6::Core)

add_library(download_commands_widgets STATIC
  ${CMAKE_CURRENT_LIST_DIR}/UrlReplaceDialog.h ${CMAKE_CURRENT_LIST_DIR}/UrlReplaceDialog.cpp
)
target_link_libraries(download_commands_widgets PUBLIC download_commands widgets Qt6::Widgets)
