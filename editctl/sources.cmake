# The edit control's text model, layout, editing, undo and movement rules.
set(EDITCTL_CORE
    ${CMAKE_CURRENT_LIST_DIR}/clipboard_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/editing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/line_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mouse.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/words.cpp
)
# The CustomEditControl window.
set(EDITCTL_WIN
)
