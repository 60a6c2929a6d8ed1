"""Tests of tools/levelshots/levelshots.py on archives made up here."""

import contextlib
import importlib.util
import io
import os
import shutil
import struct
import subprocess
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
    return striped_tga(width, [rgb] * height)


def striped_tga(width, rows, top_down=False):
    """An uncompressed 24-bit TGA picture with one colour per row, the top row first. Its rows
    are stored bottom-up, as most TGA files (OpenArena's level shots among them) keep them,
    unless top_down is set."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, len(rows), 24, 0x20 if top_down else 0)
    stored = rows if top_down else list(reversed(rows))
    return header + b"".join(bytes((b, g, r)) * width for r, g, b in stored)


def decoded_rows(jpeg):
    """Each row's first pixel of a JPEG picture, top row first, decoded with libjpeg's djpeg."""
    ppm = subprocess.run(["djpeg", "-pnm"], input=jpeg, stdout=subprocess.PIPE, check=True).stdout
    magic, width, height, _, pixels = ppm.split(maxsplit=4)
    assert magic == b"P6"
    width, height = int(width), int(height)
    return [tuple(pixels[y * width * 3:y * width * 3 + 3]) for y in range(height)]


def close(colour, want):
    return all(abs(a - b) <= 24 for a, b in zip(colour, want))


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

    @unittest.skipUnless(levelshots.converters()["convert"], "ImageMagick is not installed")
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

    @unittest.skipUnless(shutil.which("djpeg"), "libjpeg-turbo-progs is not installed")
    def test_tga_shots_come_out_the_right_way_up_whichever_converter_makes_them(self):
        red, blue = (220, 20, 20), (20, 20, 220)
        rows = [red] * 8 + [blue] * 8
        self.pk3("pak0.pk3", {"levelshots/bottom_up.tga": striped_tga(16, rows),
                              "levelshots/top_down.tga": striped_tga(16, rows, top_down=True)})
        found = levelshots.converters()
        for name in ("cjpeg", "convert"):
            if not found[name]:
                continue
            with self.subTest(converter=name):
                shutil.rmtree(self.dest, ignore_errors=True)
                only = {key: (path if key == name else None) for key, path in found.items()}
                with mock.patch.object(levelshots, "converters", return_value=only):
                    code, _, err = self.run_tool(self.paks)
                self.assertEqual(code, 0, err)
                for shot in ("bottom_up", "top_down"):
                    picture = decoded_rows(self.shot(shot))
                    self.assertEqual(len(picture), 16)
                    self.assertTrue(close(picture[0], red), f"{shot}: top row {picture[0]}")
                    self.assertTrue(close(picture[-1], blue), f"{shot}: bottom row {picture[-1]}")

    def test_shots_no_converter_found_can_make_are_reported_not_written(self):
        pak = self.pk3("pak0.pk3", {"levelshots/a.tga": tga(2, 2, (1, 2, 3)), "levelshots/b.jpg": JPEG_A,
                                    "levelshots/c.png": b"\x89PNG"})
        cases = [
            # programs installed, extra arguments, pictures written, pictures left out
            ({}, [], ["b"], ["a", "c"]),
            ({"cjpeg": "/usr/bin/cjpeg"}, [], ["a", "b"], ["c"]),
            ({"cjpeg": "/usr/bin/cjpeg"}, ["--size", "64"], [], ["a", "b", "c"]),
        ]
        for programs, extra, written, missing in cases:
            with self.subTest(programs=programs, extra=extra):
                shutil.rmtree(self.dest, ignore_errors=True)
                installed = {"convert": None, "cjpeg": None, **programs}
                ran = []
                def fake_run(command, **_):
                    ran.append(command)
                    with open(command[command.index("-outfile") + 1], "wb") as out:
                        out.write(JPEG_B)
                with mock.patch.object(levelshots, "converters", return_value=installed), \
                        mock.patch.object(levelshots.subprocess, "run", side_effect=fake_run):
                    code, _, err = self.run_tool(*extra, pak)
                self.assertEqual(code, 1)
                folder = os.path.join(self.dest, "levels", "Quake3")
                self.assertEqual(sorted(e[:-4] for e in os.listdir(folder)), written)
                self.assertIn(f"{len(missing)} pictures need a converter", err)
                self.assertTrue(err.rstrip().endswith(": " + " ".join(missing)), err)
                self.assertEqual([c[0] for c in ran], ["/usr/bin/cjpeg"] * ("a" in written))

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
