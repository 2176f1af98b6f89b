# Sources of the main window's commands: dispatch, menu state and help texts,
# the editing commands, the clipboard copy and the texts they compose.
target_sources(tv_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DeleteConfirmation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp
)
target_sources(tv_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowMenus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowEditing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowClipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowFileCommands.cpp
)
