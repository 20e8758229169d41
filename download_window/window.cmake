# The rules of the download window that need no window: the close question,
# the resize arithmetic, the progress cells and the transfer speed.
add_library(download_window_rules STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WindowRules.h ${CMAKE_CURRENT_LIST_DIR}/WindowRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TransferSpeed.h ${CMAKE_CURRENT_LIST_DIR}/TransferSpeed.cpp
)
target_include_directories(download_window_rules PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(download_window_rules PUBLIC engine settings Qt6::Core)

# fFileDownload: the command strip, the list with its pictures and progress
# bars, the status bar, the menus and the window's lifecycle.
find_package(Qt6 REQUIRED COMPONENTS WebEngineCore)
add_library(download_window STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WindowTexts.h
  ${CMAKE_CURRENT_LIST_DIR}/StatePictures.h ${CMAKE_CURRENT_LIST_DIR}/StatePictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DownloadListDelegate.h ${CMAKE_CURRENT_LIST_DIR}/DownloadListDelegate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandStrip.h ${CMAKE_CURRENT_LIST_DIR}/CommandStrip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DownloadMenus.h ${CMAKE_CURRENT_LIST_DIR}/DownloadMenus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DownloadWindow.h ${CMAKE_CURRENT_LIST_DIR}/DownloadWindow.cpp
)
target_include_directories(download_window PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(download_window PUBLIC
  download_window_rules download_commands download_commands_widgets download_login engine settings settings_dialogs
  widgets platform_widgets about_box Qt6::Widgets Qt6::WebEngineCore)

# The browser cache viewer and the routine that empties the cache.
target_link_libraries(download_window PUBLIC cache_viewer)
