#!/usr/bin/env python3
"""Fails when an include breaks the direction of the code's dependencies.

A module is a header and its source file (app/menu.h and app/menu.cpp). Two
rules:
- no module reaches itself again through the includes of its files;
- the reading and writing half of fileio/ (every file there but the
  commands and dialogs that FILEIO_WIN lists) includes nothing from app/ or
  docs/.
Prints each broken rule and exits 1; prints nothing and exits 0 when none is.
`--root DIR` checks another tree than the one this script lives in.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
FOLDERS = ("app", "docs", "editctl", "fileio")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def module_of(path):
    return str(pathlib.PurePosixPath(path).with_suffix(""))


def read_graph():
    graph = {}
    for folder in FOLDERS:
        for file in sorted((ROOT / folder).glob("*")):
            if file.suffix not in (".h", ".cpp"):
                continue
            source = module_of(file.relative_to(ROOT).as_posix())
            targets = graph.setdefault(source, {})
            for included in INCLUDE.findall(file.read_text(encoding="utf-8")):
                target = module_of(included)
                if target != source and target.split("/")[0] in FOLDERS:
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


def command_half_of_fileio():
    text = (ROOT / "fileio" / "sources.cmake").read_text(encoding="utf-8")
    block = re.search(r"set\(FILEIO_WIN(.*?)\)", text, re.S)
    names = re.findall(r"/([A-Za-z0-9_]+)\.cpp", block.group(1)) if block else []
    return {"fileio/" + name for name in names}


def main():
    global ROOT
    if len(sys.argv) == 3 and sys.argv[1] == "--root":
        ROOT = pathlib.Path(sys.argv[2])
    graph = read_graph()
    problems = []
    for component in cycles(graph):
        members = set(component)
        edges = [f"{source} -> {target} ({graph[source][target]})"
                 for source in component for target in sorted(graph[source])
                 if target in members]
        problems.append("include cycle between " + ", ".join(component) +
                        ":\n    " + "\n    ".join(edges))
    commands = command_half_of_fileio()
    for source, targets in sorted(graph.items()):
        if not source.startswith("fileio/") or source in commands:
            continue
        for target, file in sorted(targets.items()):
            if target.split("/")[0] in ("app", "docs"):
                problems.append(f"fileio/{file} reads or writes files but includes {target}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
