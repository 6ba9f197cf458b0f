"""The release of a built tessary.exe (named by TESSARY_RELEASE_EXE): the
program must carry no build time and no build folder, and packing it twice,
from copies with other times in other folders, must give the same archive,
named with the version its version block shows."""
import hashlib
import os
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
PACK = ROOT / "tools" / "pack_release.py"
EXE = pathlib.Path(os.environ.get("TESSARY_RELEASE_EXE", ROOT / "build" / "win" / "tessary.exe"))
RESOURCE_DIRECTORY = 2


def pe_timestamps(image):
    """The link time of the PE header and the time of the resource tree."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    directories = optional + (112 if struct.unpack_from("<H", image, optional)[0] == 0x20B else 96)
    rva = struct.unpack_from("<I", image, directories + 8 * RESOURCE_DIRECTORY)[0]
    resource_time = None
    for i in range(sections):
        header = optional + optional_size + 40 * i
        size, address, _, raw = struct.unpack_from("<4I", image, header + 8)
        if address <= rva < address + size:
            resource_time = struct.unpack_from("<I", image, raw + rva - address + 4)[0]
    return struct.unpack_from("<I", image, pe + 8)[0], resource_time


def product_version(image):
    """The "ProductVersion" string of the version block."""
    key = "ProductVersion\0".encode("utf-16-le")
    at = image.find(b"\x01\x00" + key)  # wType 1: a text value follows
    if at < 0:
        return None
    start = at - 4  # wLength and wValueLength come before the type
    value = at + 2 + len(key)
    value += -(value - start) % 4
    end = value
    while image[end:end + 2] != b"\0\0":
        end += 2
    return image[value:end].decode("utf-16-le")


def pack(exe, outdir, cwd):
    subprocess.run([sys.executable, str(PACK), str(exe), str(outdir)], cwd=cwd, check=True,
                   capture_output=True)
    archive, = pathlib.Path(outdir).glob("tessary-*-win64.zip")
    return archive


@unittest.skipUnless(EXE.is_file(), f"{EXE} not built")
class ReleaseTest(unittest.TestCase):
    def test_the_program_holds_no_build_time_or_folder(self):
        image = EXE.read_bytes()
        self.assertEqual(pe_timestamps(image), (0, 0))
        for folder in {str(ROOT), str(EXE.resolve().parent)}:
            for encoding in ("utf-8", "utf-16-le"):
                self.assertFalse(folder.encode(encoding) in image, f"{folder} in {encoding}")

    def test_packing_twice_gives_the_same_archive(self):
        with tempfile.TemporaryDirectory() as temp:
            temp = pathlib.Path(temp)
            first = pack(EXE, temp / "one", cwd=ROOT)
            copy = temp / "elsewhere" / "tessary.exe"
            copy.parent.mkdir()
            shutil.copyfile(EXE, copy)
            os.utime(copy, (1_000_000_000, 1_000_000_000))
            second = pack(copy, temp / "two", cwd=temp)
            self.assertEqual(first.read_bytes(), second.read_bytes())
            self.assertEqual((first.parent / "SHA256SUMS").read_text(),
                             (second.parent / "SHA256SUMS").read_text())

            digest = hashlib.sha256(first.read_bytes()).hexdigest()
            self.assertEqual((first.parent / "SHA256SUMS").read_text(),
                             f"{digest}  {first.name}\n")
            with zipfile.ZipFile(first) as archive:
                self.assertEqual(archive.namelist(), ["tessary.exe", "README.txt", "LICENSE"])
                program = archive.read("tessary.exe")
                readme = archive.read("README.txt")
            self.assertEqual(program, EXE.read_bytes())
            self.assertEqual(first.name, f"tessary-{product_version(program)}-win64.zip")
            self.assertNotIn(b"@VERSION@", readme)
            self.assertNotIn(b"\n", readme.replace(b"\r\n", b""))


if __name__ == "__main__":
    unittest.main()
