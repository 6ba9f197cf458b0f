# Start-up, main window, menus, settings, layout and fonts.
set(APP_CORE
)
set(APP_WIN
)
set(APP_MAIN
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
)
