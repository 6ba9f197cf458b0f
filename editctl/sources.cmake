# The edit control's text model, layout, editing, undo and movement rules.
set(EDITCTL_CORE
    ${CMAKE_CURRENT_LIST_DIR}/cells.cpp
    ${CMAKE_CURRENT_LIST_DIR}/change_flow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/char_width_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/characters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clipboard_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/column_stops.cpp
    ${CMAKE_CURRENT_LIST_DIR}/commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/context_menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/editing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gap_vector.cpp
    ${CMAKE_CURRENT_LIST_DIR}/glyph_map.cpp
    ${CMAKE_CURRENT_LIST_DIR}/grapheme_break_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/graphemes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/line_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mouse.cpp
    ${CMAKE_CURRENT_LIST_DIR}/partitioned_index.cpp
    ${CMAKE_CURRENT_LIST_DIR}/replaced_matches.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scroll_bars.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_geometry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_buffer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_units.cpp
    ${CMAKE_CURRENT_LIST_DIR}/view_metrics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/visual_rows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/words.cpp
)
# The CustomEditControl window.
set(EDITCTL_WIN
    ${CMAKE_CURRENT_LIST_DIR}/edit_automation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_clipboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_context_menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_effects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_font.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_interface.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_paint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_record.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_scrollbars.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_text_range.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/uia_api.cpp
)
# What a paint draws, worked out without the platform for the window above.
list(APPEND EDITCTL_CORE ${CMAKE_CURRENT_LIST_DIR}/paint_plan.cpp)
