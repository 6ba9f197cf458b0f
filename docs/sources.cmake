# Documents, tabs, tab strip, status bar and title, prompts and closing.
set(DOCS_CORE
)
set(DOCS_WIN
)
