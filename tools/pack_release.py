#!/usr/bin/env python3
"""Writes the release archive of a built tessary.exe.

    pack_release.py EXE OUTDIR

OUTDIR receives tessary-VERSION-win64.zip, holding tessary.exe, README.txt
(package/README.txt with its version filled in) and LICENSE, and beside it
SHA256SUMS, which `sha256sum -c` reads. VERSION is the one in the VERSION
file at the root.

The archive's bytes depend on its three inputs alone: the entries go in a
fixed order, each dated SOURCE_DATE_EPOCH (the time of the checked-out
commit unless the variable is set) with fixed attributes, whatever the
files' own times, modes, owners or folder. The texts get CR LF line
breaks, which every Windows tool shows as lines.
"""
import hashlib
import os
import pathlib
import subprocess
import sys
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
# Before 1980 a zip entry cannot be dated.
EARLIEST = 315532800
# FILE_ATTRIBUTE_ARCHIVE, as Windows' own zip folders write it.
ARCHIVE_ATTRIBUTE = 0x20


def version():
    return (ROOT / "VERSION").read_text(encoding="ascii").strip()


def source_date_epoch():
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if not value:
        try:
            value = subprocess.run(["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
                                   capture_output=True, text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            value = ""
    return max(int(value or EARLIEST), EARLIEST)


def windows_text(path, release):
    text = path.read_text(encoding="utf-8").replace("@VERSION@", release)
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def entry(name, epoch):
    info = zipfile.ZipInfo(name, time.gmtime(epoch)[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0
    info.external_attr = ARCHIVE_ATTRIBUTE
    return info


def pack(exe, outdir):
    release = version()
    epoch = source_date_epoch()
    contents = [
        ("tessary.exe", pathlib.Path(exe).read_bytes()),
        ("README.txt", windows_text(ROOT / "package" / "README.txt", release)),
        ("LICENSE", windows_text(ROOT / "LICENSE", release)),
    ]
    outdir = pathlib.Path(outdir)
    outdir.mkdir(parents=True, exist_ok=True)
    for old in outdir.glob("tessary-*-win64.zip"):
        old.unlink()
    archive = outdir / f"tessary-{release}-win64.zip"
    with zipfile.ZipFile(archive, "w") as zip_file:
        for name, data in contents:
            zip_file.writestr(entry(name, epoch), data, compresslevel=9)
    digest = hashlib.sha256(archive.read_bytes()).hexdigest()
    (outdir / "SHA256SUMS").write_text(f"{digest}  {archive.name}\n", encoding="ascii")
    return archive


def main(argv):
    if len(argv) != 3:
        print("usage: pack_release.py EXE OUTDIR", file=sys.stderr)
        return 2
    archive = pack(argv[1], argv[2])
    print(f"{archive} ({archive.stat().st_size} bytes)")
    print((archive.parent / "SHA256SUMS").read_text(encoding="ascii"), end="")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
