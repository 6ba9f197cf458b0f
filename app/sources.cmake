# Start-up, the main window procedure and its commands, menus, settings and
# window modes.
set(APP_CORE
    ${CMAKE_CURRENT_LIST_DIR}/settings_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_modes_rules.cpp
)
set(APP_WIN
    ${CMAKE_CURRENT_LIST_DIR}/about.cpp
    ${CMAKE_CURRENT_LIST_DIR}/font_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fullscreen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window_proc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_modes.cpp
)
# The entry point and the resources of tessary.exe (icon, version, manifest).
set(APP_MAIN
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tessary.rc
)
