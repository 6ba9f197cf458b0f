# What every window of the program uses: owners of system resources, the one
# way to show modal UI, command ids and rectangles.
set(WINKIT_WIN
    ${CMAKE_CURRENT_LIST_DIR}/modal_ui.cpp
)
