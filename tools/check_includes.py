#!/usr/bin/env python3
"""Fails when an include breaks the layers of LAYERS.md.

A module is a header and its source file (app/menu.h and app/menu.cpp). Its
rank comes from the table in LAYERS.md. Two rules:
- a module includes no module of a higher rank, in whatever form the include
  is written ("docs/tabs.h", <docs/tabs.h>, "tabs.h" beside it, "../docs/tabs.h");
- no module reaches itself again through the includes of its files;
- no two folders include each other, whatever their modules' ranks.
Prints each broken rule and exits 1; prints nothing and exits 0 when none is.
`--root DIR` checks another tree than the one this script lives in.
"""
import os
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
INCLUDE = re.compile(r'^\s*#\s*include\s*(["<])([^">]+)[">]', re.M)
ROW = re.compile(r"^\|\s*(\d+)\s*\|\s*([^|]+?)\s*\|[^|]*\|(.*)\|\s*$")
NAME = re.compile(r"`([^`]+)`")


def module_of(path):
    return str(pathlib.PurePosixPath(path).with_suffix(""))


class Ranks:
    """The table of LAYERS.md: explicit modules, and folder defaults."""

    def __init__(self, text):
        self.modules, self.folders, self.layers, self.problems = {}, {}, {}, []
        for line in text.splitlines():
            row = ROW.match(line)
            if not row:
                continue
            rank = int(row.group(1))
            self.layers[rank] = row.group(2)
            for name in NAME.findall(row.group(3)):
                table = self.folders if name.endswith("/*") else self.modules
                key = name[:-2] if name.endswith("/*") else name
                if key in table:
                    self.problems.append(f"LAYERS.md names {name} twice")
                table[key] = rank

    def of(self, module):
        if module in self.modules:
            return self.modules[module]
        return self.folders.get(module.split("/")[0])

    def describe(self, module):
        rank = self.of(module)
        return f"{module} ({self.layers[rank]}, rank {rank})"


def source_folders(ranks):
    named = set(ranks.folders) | {m.split("/")[0] for m in ranks.modules}
    built = {p.parent.name for p in ROOT.glob("*/sources.cmake")}
    return sorted(named | built)


def target_of(file, spelled, quoted, folders):
    """The module an include names, or None outside the program's folders.
    A quoted include is looked for beside the file first, as the compiler does."""
    candidates = [file.parent / spelled] if quoted else []
    candidates.append(ROOT / spelled)
    paths = [pathlib.Path(os.path.normpath(c)) for c in candidates]
    existing = [p for p in paths if p.exists()]
    for path in existing + paths:
        try:
            relative = path.relative_to(ROOT).as_posix()
        except ValueError:
            continue
        if relative.split("/")[0] in folders:
            return module_of(relative)
        if path in existing:
            return None
    return None


def read_graph(folders):
    graph = {}
    for folder in folders:
        for file in sorted((ROOT / folder).glob("*")):
            if file.suffix not in (".h", ".cpp"):
                continue
            source = module_of(file.relative_to(ROOT).as_posix())
            targets = graph.setdefault(source, {})
            for quote, spelled in INCLUDE.findall(file.read_text(encoding="utf-8")):
                target = target_of(file, spelled, quote == '"', folders)
                if target and target != source:
                    targets.setdefault(target, file.name)
    return graph


def cycles(graph):
    """The strongly connected components with more than one module (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in graph.get(node, {}):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def rank_problems(ranks, graph):
    problems = list(ranks.problems)
    for module in sorted(ranks.modules):
        if module not in graph:
            problems.append(f"LAYERS.md names {module}, which has no file")
    for source in sorted(graph):
        if ranks.of(source) is None:
            problems.append(f"{source} has no rank in LAYERS.md")
    for source, targets in sorted(graph.items()):
        for target, file in sorted(targets.items()):
            low, high = ranks.of(source), ranks.of(target)
            if low is not None and high is not None and high > low:
                problems.append(f"{pathlib.PurePosixPath(source).parent}/{file} reaches up: "
                                f"{ranks.describe(source)} includes {ranks.describe(target)}")
    return problems


def folder_problems(graph):
    """Folders whose modules include each other both ways, even where every
    include keeps to the ranks: one of them should sit below the other."""
    first = {}
    for source, targets in sorted(graph.items()):
        for target, file in sorted(targets.items()):
            pair = (source.split("/")[0], target.split("/")[0])
            if pair[0] != pair[1]:
                first.setdefault(pair, f"{pathlib.PurePosixPath(source).parent}/{file} "
                                       f"includes {target}")
    return [f"folders {a} and {b} include each other: {first[(a, b)]}; {first[(b, a)]}"
            for a, b in sorted(first) if a < b and (b, a) in first]


def main():
    global ROOT
    if len(sys.argv) == 3 and sys.argv[1] == "--root":
        ROOT = pathlib.Path(sys.argv[2]).resolve()
    ranks = Ranks((ROOT / "LAYERS.md").read_text(encoding="utf-8"))
    graph = read_graph(source_folders(ranks))
    problems = rank_problems(ranks, graph) + folder_problems(graph)
    for component in cycles(graph):
        members = set(component)
        edges = [f"{source} -> {target} ({graph[source][target]})"
                 for source in component for target in sorted(graph[source])
                 if target in members]
        problems.append("include cycle between " + ", ".join(component) +
                        ":\n    " + "\n    ".join(edges))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
