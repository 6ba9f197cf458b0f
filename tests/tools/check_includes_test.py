"""The include check: on a copy of the program's own tree, with one upward
include injected in each of the forms an include can take; and on small
made-up trees, for cycles and for a table that does not fit the files."""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

REPO = pathlib.Path(__file__).resolve().parents[2]
SCRIPT = REPO / "tools" / "check_includes.py"


def run(root):
    done = subprocess.run([sys.executable, str(SCRIPT), "--root", str(root)],
                          capture_output=True, text=True)
    return done.returncode, done.stdout


def made_up(root, table, files):
    (root / "LAYERS.md").write_text(
        "| Rank | Layer | What | Modules |\n|---|---|---|---|\n" +
        "".join(f"| {rank} | {name} | - | {modules} |\n" for rank, name, modules in table))
    for name, includes in files.items():
        (root / name).parent.mkdir(parents=True, exist_ok=True)
        (root / name).write_text("".join(f'#include "{t}"\n' for t in includes))


class CheckIncludesTest(unittest.TestCase):
    def test_the_tree_passes_and_every_form_of_an_upward_include_fails(self):
        with tempfile.TemporaryDirectory() as temp:
            root = pathlib.Path(temp)
            shutil.copy(REPO / "LAYERS.md", root)
            for folder in REPO.glob("*/sources.cmake"):
                shutil.copytree(folder.parent, root / folder.parent.name)
            self.assertEqual(run(root), (0, ""))
            cases = [  # file, include line, the module reached
                ("fileio/text_file.cpp", '#include "docs/document.h"', "docs/document"),
                ("editctl/keys.cpp", '#include "edit_paint.h"', "editctl/edit_paint"),
                ("docs/tabs.h", "#include <app/menu.h>", "app/menu"),
                ("winkit/modal_ui.cpp", '#  include "../fileio/wide.h"', "fileio/wide"),
            ]
            for name, line, reached in cases:
                with self.subTest(name=name, line=line):
                    file = root / name
                    kept = file.read_text()
                    file.write_text(line + "\n" + kept)
                    code, out = run(root)
                    file.write_text(kept)
                    self.assertEqual(code, 1)
                    self.assertIn(f"{name} reaches up", out)
                    self.assertIn(f"includes {reached} (", out)

    def test_made_up_trees(self):
        two = [(2, "top", "`top/*`"), (1, "bottom", "`bottom/*`, `top/low`")]
        cases = [  # what, table, files, expected exit code, expected text
            ("a header and its source make one module of a cycle", two,
             {"top/a.h": [], "top/a.cpp": ["top/a.h", "top/b.h"],
              "top/b.h": [], "top/b.cpp": ["top/a.h"]},
             1, "include cycle between top/a, top/b"),
            ("a module named in a row outranks its folder", two,
             {"top/low.h": ["bottom/x.h"], "top/high.cpp": ["top/low.h"], "bottom/x.h": []},
             0, ""),
            ("...and is held to that rank", two,
             {"top/low.cpp": ["top/high.h"], "top/high.h": []},
             1, "top/low (bottom, rank 1) includes top/high (top, rank 2)"),
            ("a row that names a module without a file", two,
             {"top/a.h": []}, 1, "LAYERS.md names top/low, which has no file"),
            ("two folders of one rank that include each other", [(1, "both", "`a/*`, `b/*`")],
             {"a/x.cpp": ["b/y.h"], "b/y.h": [], "b/z.cpp": ["a/w.h"], "a/w.h": []},
             1, "folders a and b include each other: a/x.cpp includes b/y; b/z.cpp includes a/w"),
            ("a built folder without a rank", two,
             {"top/low.h": [], "other/sources.cmake": [], "other/c.cpp": ["top/low.h"]},
             1, "other/c has no rank"),
        ]
        for what, table, files, code, text in cases:
            with self.subTest(what), tempfile.TemporaryDirectory() as temp:
                made_up(pathlib.Path(temp), table, files)
                got_code, out = run(temp)
                self.assertEqual(got_code, code, out)
                self.assertIn(text, out)


if __name__ == "__main__":
    unittest.main()
