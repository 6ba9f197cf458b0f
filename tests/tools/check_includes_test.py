"""The include check on small made-up trees: it must see a cycle through a
header and its source file, and the reading and writing half of fileio/
reaching up, and must let the direction the README asks for pass."""
import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "tools" / "check_includes.py"
SOURCES = "set(FILEIO_WIN\n    ${CMAKE_CURRENT_LIST_DIR}/file_commands.cpp\n)\n"


def check(files):
    with tempfile.TemporaryDirectory() as root:
        for folder in ("app", "docs", "editctl", "fileio"):
            (pathlib.Path(root) / folder).mkdir()
        (pathlib.Path(root) / "fileio" / "sources.cmake").write_text(SOURCES)
        for name, includes in files.items():
            text = "".join(f'#include "{target}"\n' for target in includes)
            (pathlib.Path(root) / name).write_text(text)
        run = subprocess.run([sys.executable, str(SCRIPT), "--root", root],
                             capture_output=True, text=True)
        return run.returncode, run.stdout


class CheckIncludesTest(unittest.TestCase):
    def test_one_direction_passes(self):
        code, out = check({
            "app/main_window.h": ["docs/document.h"],
            "app/main_proc.cpp": ["app/main_window.h", "fileio/file_commands.h"],
            "fileio/file_commands.cpp": ["app/main_window.h", "fileio/text_file.h"],
            "fileio/text_file.cpp": ["fileio/text_file.h", "fileio/text_units.h"],
            "docs/document.h": ["fileio/text_units.h"],
        })
        self.assertEqual((code, out), (0, ""))

    def test_a_header_and_its_source_make_one_module(self):
        code, out = check({
            "app/layout.h": [],
            "app/layout.cpp": ["app/layout.h", "app/main_window.h"],
            "app/main_window.h": [],
            "app/main_window.cpp": ["app/main_window.h", "app/layout.h"],
        })
        self.assertEqual(code, 1)
        self.assertIn("include cycle between app/layout, app/main_window", out)

    def test_the_file_half_of_fileio_stays_below_the_windows(self):
        code, out = check({
            "fileio/text_file.cpp": ["docs/document.h"],
            "fileio/file_commands.cpp": ["app/main_window.h"],
        })
        self.assertEqual(code, 1)
        self.assertIn("fileio/text_file.cpp", out)
        self.assertNotIn("file_commands", out)


if __name__ == "__main__":
    unittest.main()
