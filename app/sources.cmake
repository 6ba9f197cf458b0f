# Start-up, main window, menus, settings, layout and fonts.
set(APP_CORE
    ${CMAKE_CURRENT_LIST_DIR}/layout_geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_modes_rules.cpp
)
set(APP_WIN
    ${CMAKE_CURRENT_LIST_DIR}/about.cpp
    ${CMAKE_CURRENT_LIST_DIR}/font_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fullscreen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window_proc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/modal_ui.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_modes.cpp
)
# The entry point and the resources of tessary.exe (icon, version, manifest).
set(APP_MAIN
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tessary.rc
)
