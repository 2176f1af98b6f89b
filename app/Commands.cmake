# Sources of the main window's commands beside the command table: menu help
# texts and context menus, the editing commands, the clipboard copy, New,
# Exit and About, and the texts and clipboard helper they use.
target_sources(tv_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowMenus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowEditing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowClipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowFileCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeleteConfirmation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp
)
