"""Tests of tools/levelshots/levelshots.py on archives made up here."""

import contextlib
import importlib.util
import io
import os
import shutil
import struct
import sys
import tempfile
import unittest
import zipfile
from unittest import mock

SOURCE = os.environ.get("CORVANE_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..", ".."))
module_spec = importlib.util.spec_from_file_location("levelshots", os.path.join(SOURCE, "tools", "levelshots", "levelshots.py"))
levelshots = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(levelshots)

JPEG_A = b"\xff\xd8\xff\xe0 first picture \xff\xd9"
JPEG_B = b"\xff\xd8\xff\xe0 second picture \xff\xd9"


def tga(width, height, rgb):
    """An uncompressed 24-bit TGA picture of one colour."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0)
    return header + bytes((rgb[2], rgb[1], rgb[0])) * (width * height)


def pak(entries):
    """An id PACK archive holding the given {name: bytes}."""
    body, directory = b"", b""
    for name, data in entries.items():
        directory += name.encode().ljust(56, b"\0") + struct.pack("<ii", 12 + len(body), len(data))
        body += data
    return b"PACK" + struct.pack("<ii", 12 + len(body), len(directory)) + body + directory


class LevelShots(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="corvane-levelshots-")
        self.dest = os.path.join(self.root, "run")
        self.paks = os.path.join(self.root, "baseq3")
        os.makedirs(self.paks)

    def tearDown(self):
        shutil.rmtree(self.root)

    def pk3(self, name, members):
        path = os.path.join(self.paks, name)
        with zipfile.ZipFile(path, "w") as archive:
            for member, data in members.items():
                archive.writestr(member, data)
        return path

    def run_tool(self, *args):
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            code = levelshots.main(["--dest", self.dest, *args])
        return code, out.getvalue(), err.getvalue()

    def shot(self, name, game="Quake3"):
        path = os.path.join(self.dest, "levels", game, name + ".jpg")
        with open(path, "rb") as f:
            return f.read()

    def test_copies_jpeg_shots_byte_for_byte_and_ignores_other_files(self):
        pak = self.pk3("pak0.pk3", {
            "levelshots/q3dm17.jpg": JPEG_A,
            "levelshots/Q3CTF1.JPG": JPEG_B,
            "maps/q3dm17.bsp": b"IBSP",
            "textures/levelshots/decoy.jpg": JPEG_B,
            "levelshots/readme.txt": b"not a picture",
        })
        code, out, _ = self.run_tool(pak)
        self.assertEqual(code, 0)
        self.assertEqual(self.shot("q3dm17"), JPEG_A)
        self.assertEqual(self.shot("Q3CTF1"), JPEG_B)
        self.assertEqual(sorted(os.listdir(os.path.join(self.dest, "levels", "Quake3"))), ["Q3CTF1.jpg", "q3dm17.jpg"])
        self.assertIn("2 level pictures found, 2 written", out)

    def test_folder_takes_every_archive_and_later_archives_win(self):
        self.pk3("pak0.pk3", {"levelshots/q3dm1.jpg": JPEG_A, "levelshots/q3dm2.jpg": JPEG_A})
        self.pk3("pak9.pk3", {"levelshots/q3dm2.jpg": JPEG_B})
        self.pk3("pak10.pk3", {"levelshots/q3dm3.jpg": JPEG_A})
        with open(os.path.join(self.paks, "notes.txt"), "w") as f:
            f.write("ignored")
        code, _, _ = self.run_tool(self.paks)
        self.assertEqual(code, 0)
        self.assertEqual(self.shot("q3dm1"), JPEG_A)
        self.assertEqual(self.shot("q3dm2"), JPEG_B)   # pak9 sorts after pak0
        self.assertEqual(self.shot("q3dm3"), JPEG_A)

    def test_existing_pictures_are_kept_unless_forced(self):
        pak = self.pk3("pak0.pk3", {"levelshots/q3dm17.jpg": JPEG_A, "levelshots/q3dm6.jpg": JPEG_A})
        target = os.path.join(self.dest, "levels", "Quake3")
        os.makedirs(target)
        with open(os.path.join(target, "q3dm17.jpg"), "wb") as f:
            f.write(b"administrator's own picture")
        code, out, _ = self.run_tool(pak)
        self.assertEqual(code, 0)
        self.assertEqual(self.shot("q3dm17"), b"administrator's own picture")
        self.assertEqual(self.shot("q3dm6"), JPEG_A)
        self.assertIn("1 written", out)
        self.assertIn("1 already there", out)
        code, _, _ = self.run_tool("--force", pak)
        self.assertEqual(self.shot("q3dm17"), JPEG_A)
        self.assertEqual([e for e in os.listdir(target) if e.endswith(".part")], [])

    def test_quake2_pak_archives_go_to_the_quake2_folder(self):
        with open(os.path.join(self.paks, "pak0.pak"), "wb") as f:
            f.write(pak({"levelshots/q2dm1.jpg": JPEG_A, "maps/q2dm1.bsp": b"IBSP"}))
        code, _, _ = self.run_tool("--game", "q2", self.paks)
        self.assertEqual(code, 0)
        self.assertEqual(self.shot("q2dm1", "Quake2"), JPEG_A)
        self.assertFalse(os.path.exists(os.path.join(self.dest, "levels", "Quake3")))

    @unittest.skipUnless(levelshots.converter(), "ImageMagick is not installed")
    def test_tga_shots_win_over_jpeg_and_become_jpeg(self):
        self.pk3("pak0.pk3", {"levelshots/oa_dm1.jpg": JPEG_A})
        self.pk3("pak1.pk3", {"levelshots/oa_dm1.tga": tga(8, 4, (200, 30, 20)), "levelshots/oa_dm2.tga": tga(300, 150, (0, 0, 255))})
        code, _, _ = self.run_tool("--size", "128", self.paks)
        self.assertEqual(code, 0)
        converted = self.shot("oa_dm1")
        self.assertTrue(converted.startswith(b"\xff\xd8"), "not a JPEG")
        # Baseline JPEG: the frame header holds height and width.
        def size(data):
            i = data.index(b"\xff\xc0")
            height, width = struct.unpack(">HH", data[i + 5:i + 9])
            return width, height
        self.assertEqual(size(converted), (8, 4))
        self.assertEqual(size(self.shot("oa_dm2")), (128, 64))

    def test_without_a_converter_tga_shots_are_reported_not_written(self):
        pak = self.pk3("pak0.pk3", {"levelshots/a.tga": tga(2, 2, (1, 2, 3)), "levelshots/b.jpg": JPEG_A})
        with mock.patch.object(levelshots.shutil, "which", return_value=None):
            code, _, err = self.run_tool(pak)
        self.assertEqual(code, 1)
        self.assertEqual(self.shot("b"), JPEG_A)
        self.assertFalse(os.path.exists(os.path.join(self.dest, "levels", "Quake3", "a.jpg")))
        self.assertIn("need ImageMagick", err)
        self.assertIn(" a", err)

    def test_bad_arguments(self):
        code, _, err = self.run_tool(os.path.join(self.root, "missing.pk3"))
        self.assertEqual(code, 2)
        self.assertIn("no such file", err)
        broken = os.path.join(self.paks, "broken.pk3")
        with open(broken, "wb") as f:
            f.write(b"neither zip nor pack")
        good = self.pk3("pak0.pk3", {"levelshots/q3dm1.jpg": JPEG_A})
        code, _, err = self.run_tool(broken, good)
        self.assertEqual(code, 0)
        self.assertIn("skipping", err)
        self.assertEqual(self.shot("q3dm1"), JPEG_A)


if __name__ == "__main__":
    unittest.main()
