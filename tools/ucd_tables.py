"""What the table generators share: reading the Unicode Character Database's
range files, and a two-level table whose identical blocks are stored once."""
import re

LIMIT = 0x110000
BLOCK = 256


def ranges(path):
    """Yields (first, last, value) from a semicolon-separated UCD file,
    including the defaults its "@missing" lines give."""
    with open(path, encoding="utf-8") as f:
        for line in f:
            missing = re.match(r"#\s*@missing:\s*([0-9A-F.]+)\s*;\s*(\w+)", line)
            body = missing.groups() if missing else line.split("#")[0].split(";")
            if len(body) < 2:
                continue
            span = body[0].strip().split("..")
            yield int(span[0], 16), int(span[-1], 16), body[1].strip()


def blocks_of(entries, pack=bytes):
    """The distinct blocks of BLOCK entries, each packed, and for each block
    of the code space the number of its distinct block."""
    blocks, where, index = [], {}, []
    for start in range(0, LIMIT, BLOCK):
        block = pack(entries[start:start + BLOCK])
        if block not in where:
            where[block] = len(blocks)
            blocks.append(block)
        index.append(where[block])
    assert len(blocks) <= 256
    return blocks, index


def write_index(w, name, index):
    """The array that picks each block of the code space its stored block."""
    w("const uint8_t %s[%d] = {\n" % (name, len(index)))
    for i in range(0, len(index), 16):
        w("    " + ", ".join(str(v) for v in index[i:i + 16]) + ",\n")
    w("};\n\n")
