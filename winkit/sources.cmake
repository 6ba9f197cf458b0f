# What every window of the program uses: owners of system resources, the one
# way to show modal UI, the guard around window procedures, command ids and
# rectangles, and the high contrast setting.
set(WINKIT_WIN
    ${CMAKE_CURRENT_LIST_DIR}/high_contrast.cpp
    ${CMAKE_CURRENT_LIST_DIR}/modal_ui.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_proc_guard.cpp
)
