# The main window's record and its documents: tabs, tab strip, status bar and
# title, find, prompts and closing, recovery, the placing of the children, and
# the file commands with their dialogs.
set(DOCS_CORE
    ${CMAKE_CURRENT_LIST_DIR}/disk_watch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/document.cpp
    ${CMAKE_CURRENT_LIST_DIR}/journal_format.cpp
    ${CMAKE_CURRENT_LIST_DIR}/journal_log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/journal_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/search.cpp
    ${CMAKE_CURRENT_LIST_DIR}/status_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tab_geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_geometry.cpp
)
set(DOCS_WIN
    ${CMAKE_CURRENT_LIST_DIR}/close_button_name.cpp
    ${CMAKE_CURRENT_LIST_DIR}/close_tooltip.cpp
    ${CMAKE_CURRENT_LIST_DIR}/closing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/disk_changes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_load.cpp
    ${CMAKE_CURRENT_LIST_DIR}/find.cpp
    ${CMAKE_CURRENT_LIST_DIR}/format_menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/interrupted_saves.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery_offer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/status_bar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tab_strip.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tabs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_layout.cpp
)
