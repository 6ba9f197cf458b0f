# Reading, decoding, encoding and writing text files, and the path work of
# the file commands.
set(FILEIO_CORE
    ${CMAKE_CURRENT_LIST_DIR}/codepage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_bytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_bytes_temp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_failure.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_identity.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/page_prefault.cpp
    ${CMAKE_CURRENT_LIST_DIR}/save_record.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_blocks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_format.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_encode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_start.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf16_bytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf16_load.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf32_bytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8_compress.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8_decode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8_load.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utf8_shuffle.cpp
)
# The platform seam of the core: system code page, file I/O and why it failed,
# and fresh memory.
set(FILEIO_CORE_WIN
    ${CMAKE_CURRENT_LIST_DIR}/codepage_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_bytes_temp_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_bytes_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_failure_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_identity_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_protection_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/page_prefault_win.cpp
)
set(FILEIO_CORE_NATIVE
    ${CMAKE_CURRENT_LIST_DIR}/codepage_native.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_bytes_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_failure_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_identity_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/page_prefault_posix.cpp
)
