# The end-to-end scenarios, one user action or one check per line. A new
# scenario is a function scenario_NAME here and its NAME in E2E_SCENARIOS.
# Titles are exact: "Tessary" is the caption of prompts and information
# boxes, "Error" that of file errors.

E2E_SCENARIOS=(
    startup_argument
    file_forms
    find_then_f3
    replace_all_then_undo
    close_tab_and_exit_prompts
    status_bar_setting
    open_and_save_as_dialogs
    read_only_file
    new_window_process
    crash_recovery
    crash_during_save
    crash_after_declined_reload
    recovery_question_escape
    large_file
)

# The file named on the command line opens; typing and Ctrl+S write it back
# with its own LF breaks.
scenario_startup_argument() {
    make_file notes.txt 'first\nsecond\n'
    start notes.txt
    window "notes.txt - Tessary"
    press ctrl+End
    type_in "third"
    press Return
    type_in "fourth"
    window "*notes.txt - Tessary"
    press ctrl+s
    window "notes.txt - Tessary"
    expect_file notes.txt 'first\nsecond\nthird\nfourth'
    press alt+F4
    expect_exit
}

# A UTF-8 signature and UTF-32 stay as they were and show in the status bar,
# a byte that is not UTF-8 loads in the ANSI code page and goes back as the
# same byte, mixed breaks are written as CR LF and the Line Endings menu
# rewrites them. Save writes even an unmodified document; where no title
# changes, the checks wait for the bytes.
scenario_file_forms() {
    make_file signed.txt '\357\273\277caf\303\251\r\n'
    make_file wide.txt '\377\376\0\0a\0\0\0\n\0\0\0'
    make_file ansi.txt '\351'
    make_file mixed.txt 'a\r\nb\nc\rd'
    start_showing_texts signed.txt
    window "signed.txt - Tessary"
    expect_status 1 "UTF-8 BOM"
    press ctrl+End
    type_in "end"
    window "*signed.txt - Tessary"
    press ctrl+s
    window "signed.txt - Tessary"
    expect_file signed.txt '\357\273\277caf\303\251\r\nend'
    open_file wide.txt
    expect_status 1 "UTF-32 LE"
    expect_status 2 "Unix"
    press ctrl+End
    type_in "b"
    window "*wide.txt - Tessary"
    press ctrl+s
    window "wide.txt - Tessary"
    expect_file wide.txt '\377\376\0\0a\0\0\0\n\0\0\0b\0\0\0'
    open_file ansi.txt
    press ctrl+End
    type_in "x"
    window "*ansi.txt - Tessary"
    press ctrl+s
    window "ansi.txt - Tessary"
    expect_file ansi.txt '\351x'
    open_file mixed.txt
    press ctrl+s
    expect_file mixed.txt 'a\r\nb\r\nc\r\nd'
    press alt+o l u # Format > Line Endings > Unix (LF)
    press ctrl+s
    expect_file mixed.txt 'a\nb\nc\nd'
}

# Enter in the dialog finds the first match after the caret, case folded;
# F3 after the dialog is closed finds the next one, inside "concat".
scenario_find_then_f3() {
    make_file pets.txt 'cat concat cat\n'
    start pets.txt
    window "pets.txt - Tessary"
    press ctrl+f
    window "Find"
    type_in "CAT"
    press Return
    press Escape
    gone "Find"
    window "pets.txt - Tessary"
    press F3
    type_in "X"
    window "*pets.txt - Tessary"
    press ctrl+s
    window "pets.txt - Tessary"
    expect_file pets.txt 'cat conX cat\n'
}

scenario_replace_all_then_undo() {
    make_file fish.txt 'one fish, two fish\nred fish\n'
    start_showing_texts fish.txt
    window "fish.txt - Tessary"
    press ctrl+h
    window "Replace"
    type_in "fish"
    press Tab
    type_in "cat"
    press alt+a # Replace All
    window "Tessary"
    expect_text "Replaced 3 occurrence(s)."
    press Return
    gone "Tessary"
    click_title "Replace"
    press Escape
    gone "Replace"
    window "*fish.txt - Tessary"
    press ctrl+s
    window "fish.txt - Tessary"
    expect_file fish.txt 'one cat, two cat\nred cat\n'
    press ctrl+z
    window "*fish.txt - Tessary"
    press ctrl+s
    window "fish.txt - Tessary"
    expect_file fish.txt 'one fish, two fish\nred fish\n'
}

scenario_close_tab_and_exit_prompts() {
    make_file kept.txt 'kept\n'
    start_showing_texts kept.txt
    window "kept.txt - Tessary"
    press ctrl+n
    window "Untitled - Tessary"
    type_in "draft"
    window "*Untitled - Tessary"
    press ctrl+w
    window "Tessary"
    expect_text "Do you want to save changes?"
    press n
    gone "Tessary"
    window "kept.txt - Tessary"
    press ctrl+Tab # with one tab left, Next Tab stays on it
    type_in "!"
    window "*kept.txt - Tessary"
    press ctrl+s
    window "kept.txt - Tessary"
    expect_file kept.txt '!kept\n'
    # Exit with the active tab clean and a background tab modified.
    press ctrl+n
    window "Untitled - Tessary"
    type_in "second"
    window "*Untitled - Tessary"
    press ctrl+Tab
    window "kept.txt - Tessary"
    press alt+f x # File > Exit
    window "Tessary"
    expect_title "*Untitled - Tessary" # the question concerns that tab
    press Escape # Cancel
    gone "Tessary"
    window "*Untitled - Tessary"
    expect_running
    press alt+F4
    window "Tessary"
    press n
    expect_exit
    expect_file kept.txt '!kept\n'
}

# Turning the status bar off writes the setting; after a restart the same
# command turns it on again, so the restart began with it off.
scenario_status_bar_setting() {
    start
    window "Untitled - Tessary"
    press alt+v Down Return # View > Status Bar
    expect_reg ShowStatusBar REG_DWORD 0x0
    press alt+f x
    expect_exit
    expect_reg ShowStatusBar REG_DWORD 0x0
    expect_reg ShowLineNums REG_DWORD 0x1
    start
    window "Untitled - Tessary"
    press alt+v Down Return
    expect_reg ShowStatusBar REG_DWORD 0x1
    press alt+f x
    expect_exit
}

scenario_open_and_save_as_dialogs() {
    make_file hello.txt 'Opened through the dialog.\nSecond line.\n'
    start
    window "Untitled - Tessary"
    open_file hello.txt
    press ctrl+n
    window "Untitled - Tessary"
    type_in "Typed and saved."
    press Return
    type_in "End"
    window "*Untitled - Tessary"
    press ctrl+s
    window "Save As"
    type_in "$(winpath "$WORK")\\saved" # no extension: the text filter adds .txt
    press Return
    window "saved.txt - Tessary"
    expect_file saved.txt 'Typed and saved.\r\nEnd'
    expect_file hello.txt 'Opened through the dialog.\nSecond line.\n'
    press alt+F4 # nothing is modified, so nothing is asked
    expect_exit
}

scenario_read_only_file() {
    make_file locked.txt 'locked\n'
    read_only locked.txt
    start_showing_texts locked.txt
    window "locked.txt - Tessary"
    type_in "x"
    window "*locked.txt - Tessary"
    press ctrl+s
    window "Error"
    expect_text 'Failed to save file.\nThe file is read-only.'
    press Return
    gone "Error"
    window "*locked.txt - Tessary"
    expect_file locked.txt 'locked\n'
    press alt+F4
    window "Tessary"
    press n
    expect_exit
    expect_file locked.txt 'locked\n'
}

scenario_new_window_process() {
    make_file first.txt 'first\n'
    start first.txt
    window "first.txt - Tessary"
    press ctrl+shift+n
    window "Untitled - Tessary"
    expect_other_process
    type_in "own text"
    expect_title "*Untitled - Tessary"
    click_title "first.txt - Tessary"
    press alt+F4
    expect_exit
    window "*Untitled - Tessary"
}

# Typed text outlives the process killed a second later: the next start
# offers it, and Yes brings it back in its file's tab, ready to be saved.
scenario_crash_recovery() {
    make_file notes.txt 'first\n'
    start notes.txt
    window "notes.txt - Tessary"
    press ctrl+End
    type_in "second"
    window "*notes.txt - Tessary"
    sleep 2
    crash
    expect_file notes.txt 'first\n'
    start
    window "Tessary"
    press Return
    window "*notes.txt - Tessary"
    press ctrl+s
    window "notes.txt - Tessary"
    expect_file notes.txt 'first\nsecond'
    press alt+F4
    expect_exit
}

# A save killed halfway leaves the file new at its start and old after: the
# next start names the file and its backup, Yes puts the earlier version
# back, and the typed text is offered back over it.
scenario_crash_during_save() {
    make_large_file big.txt 100
    cp "$WORK/big.txt" "$WORK/big.txt.before"
    { printf 'START'; cat "$WORK/big.txt"; } >"$WORK/big.txt.expected"
    start_showing_texts big.txt
    E2E_TIMEOUT=120 window "big.txt - Tessary"
    E2E_TIMEOUT=120 expect_status 0 "Ln 1, Col 1"
    type_in "START"
    window "*big.txt - Tessary"
    sleep 2
    press ctrl+s
    E2E_TIMEOUT=120 wait_for_overwrite big.txt
    crash
    expect_differs big.txt "$WORK/big.txt.before"
    expect_differs big.txt "$WORK/big.txt.expected"
    start_showing_texts
    expect_text_beginning "Tessary did not finish saving this file, which may now be incomplete:"
    window "Tessary"
    press Return
    E2E_TIMEOUT=120 expect_same big.txt "$WORK/big.txt.before"
    expect_no_backup big.txt
    window "Tessary"
    press Return
    E2E_TIMEOUT=120 window "*big.txt - Tessary"
    press ctrl+s
    E2E_TIMEOUT=120 window "big.txt - Tessary"
    expect_same big.txt "$WORK/big.txt.expected"
}

# A reload declined after another program changed the file: the text typed
# before and after it outlives a crash, as an Untitled document, and the
# other program's file stays as it wrote it.
scenario_crash_after_declined_reload() {
    make_file notes.txt 'first\n'
    start notes.txt
    window "notes.txt - Tessary"
    press ctrl+End
    type_in "mine"
    window "*notes.txt - Tessary"
    make_file notes.txt 'theirs\n'
    press ctrl+f # the window is active again once Find closes: it checks its file
    window "Find"
    press Escape
    window "Tessary"
    press n
    window "*notes.txt - Tessary"
    type_in " more"
    sleep 2
    crash
    start
    window "Tessary"
    press Return # Yes
    next_window "Tessary" # "opened as Untitled, because the file has changed since"
    press Return
    window "*Untitled - Tessary"
    press ctrl+s
    window "Save As"
    type_in "$(winpath "$WORK")\\recovered.txt"
    press Return
    window "recovered.txt - Tessary"
    expect_file recovered.txt 'first\nmine more'
    expect_file notes.txt 'theirs\n'
}

# Escape closes the recovery question without deleting anything: the next
# start asks again. The journals are the user's alone.
scenario_recovery_question_escape() {
    start
    window "Untitled - Tessary"
    type_in "keep me"
    window "*Untitled - Tessary"
    sleep 2
    expect_private_journals
    crash
    start
    window "Tessary"
    press Escape
    window "Untitled - Tessary"
    press alt+F4
    expect_exit
    start
    window "Tessary"
    press Return # Yes
    window "*Untitled - Tessary"
    press ctrl+s
    window "Save As"
    type_in "$(winpath "$WORK")\\kept.txt"
    press Return
    window "kept.txt - Tessary"
    expect_file kept.txt 'keep me'
}

# 50 MB of LF lines from the command line; the log shows how long the load
# and the save took. The file's start shows at once, read-only, with the
# load's progress in the status bar; keys wait for the whole file.
scenario_large_file() {
    make_large_file big.txt 50
    start_showing_texts big.txt
    E2E_TIMEOUT=120 window "big.txt - Tessary"
    expect_status_shown 0 "Loading"
    E2E_TIMEOUT=120 expect_status 0 "Ln 1, Col 1"
    press ctrl+End
    type_in "END"
    window "*big.txt - Tessary"
    press ctrl+s
    E2E_TIMEOUT=120 window "big.txt - Tessary"
    expect_same big.txt "$WORK/big.txt.expected"
}
