"""The launcher's first-run import of level pictures, with the launcher as configured in the build
tree, the level picture tool of the source tree, game data made up here and a stand-in for the
program that reports where and with what notice it was started."""

import os
import shutil
import stat
import struct
import subprocess
import tempfile
import unittest
import zipfile

SOURCE = os.environ["CORVANE_SOURCE_DIR"]
LAUNCHER = os.path.join(os.environ["CORVANE_BINARY_DIR"], "packaging", "corvane-launcher")
TOOL = os.path.join(SOURCE, "tools", "levelshots", "levelshots.py")

JPEG = b"\xff\xd8\xff\xe0 a level shot \xff\xd9"
TGA = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 2, 2, 24, 0) + b"\x10\x20\x30" * 4
CAN_CONVERT_TGA = bool(shutil.which("cjpeg") or shutil.which("convert"))

PROGRAM = """#!/bin/sh
printf '%s\\n%s\\n' "$PWD" "${CORVANE_NOTICE-<none>}" >"$LAUNCH_REPORT"
"""


class FirstRunImport(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="corvane-launcher-")
        self.home = self.path("home")
        self.work = self.path("home", ".local", "share", "corvane")
        self.system = self.path("usr", "share", "games", "openarena", "baseoa")
        self.user = self.path("home", ".openarena", "baseoa")
        self.quake3 = self.path("home", ".q3a", "baseq3")
        self.program = self.path("corvane")
        with open(self.program, "w") as f:
            f.write(PROGRAM)
        os.chmod(self.program, stat.S_IRWXU)

    def tearDown(self):
        shutil.rmtree(self.root)

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def pk3(self, folder, name, shots):
        os.makedirs(folder, exist_ok=True)
        with zipfile.ZipFile(os.path.join(folder, name), "w") as archive:
            for member, data in shots.items():
                archive.writestr("levelshots/" + member, data)

    def picture(self, name):
        path = os.path.join(self.work, "levels", "Quake3", name + ".jpg")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def put_picture(self, name, data):
        folder = os.path.join(self.work, "levels", "Quake3")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name + ".jpg"), "wb") as f:
            f.write(data)

    def start(self, tool=TOOL, game_data=None):
        """Runs the launcher; returns the program's working folder and the notice it got."""
        env = {key: value for key, value in os.environ.items() if not key.startswith("CORVANE_")}
        env.update(HOME=self.home, CORVANE_PROGRAM=self.program, CORVANE_DATA_DIR=os.path.join(SOURCE, "data"),
                   CORVANE_LEVELSHOTS=tool, LAUNCH_REPORT=self.path("report"),
                   CORVANE_GAME_DATA=":".join([self.system, self.user, self.quake3]) if game_data is None else game_data)
        env.pop("XDG_DATA_HOME", None)
        done = subprocess.run(["sh", LAUNCHER], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        self.assertEqual(done.returncode, 0, done.stderr.decode())
        with open(self.path("report")) as f:
            folder, notice = f.read().splitlines()
        os.unlink(self.path("report"))
        return folder, notice

    def test_the_first_start_imports_from_every_folder_with_game_data_and_keeps_the_users_pictures(self):
        self.pk3(self.system, "pak1-maps.pk3", {"oa_dm1.jpg": JPEG, "oa_dm2.jpg": JPEG, "oa_ctf.tga": TGA})
        self.pk3(self.user, "z-mymaps.pk3", {"mymap.jpg": JPEG, "oa_dm2.jpg": JPEG + b"newer"})
        os.makedirs(self.quake3)  # a Quake 3 folder without archives: no game data
        self.put_picture("oa_dm1", b"the administrator's own picture")

        folder, notice = self.start()
        self.assertEqual(folder, self.work)
        imported = 3 if CAN_CONVERT_TGA else 2
        self.assertEqual(notice, f"{imported} level pictures imported from {self.system}, ~/.openarena/baseoa")
        self.assertEqual(self.picture("oa_dm1"), b"the administrator's own picture")
        self.assertEqual(self.picture("oa_dm2"), JPEG + b"newer")  # the later folder wins, as in the game
        self.assertEqual(self.picture("mymap"), JPEG)
        if CAN_CONVERT_TGA:
            self.assertTrue(self.picture("oa_ctf").startswith(b"\xff\xd8"))
        with open(os.path.join(self.work, ".levelshots-imported")) as f:
            self.assertIn("4 level pictures found", f.read())
        self.assertTrue(os.path.exists(os.path.join(self.work, "q3-default.ini")), "the shipped data as before")

        # Later starts leave the pictures as the user arranges them, even with new game data.
        os.unlink(os.path.join(self.work, "levels", "Quake3", "mymap.jpg"))
        self.put_picture("oa_dm2", b"replaced by the user")
        self.pk3(self.quake3, "pak0.pk3", {"q3dm17.jpg": JPEG})
        folder, notice = self.start()
        self.assertEqual((folder, notice), (self.work, "<none>"))
        self.assertIsNone(self.picture("mymap"))
        self.assertEqual(self.picture("oa_dm2"), b"replaced by the user")
        self.assertIsNone(self.picture("q3dm17"))

    def test_which_starts_import_and_what_they_say(self):
        cases = [
            # game data (folder: shots; None: no folder), pictures there before, notice, marker left
            ({}, {}, "<none>", False),
            ({"system": None, "user": {}}, {}, "<none>", False),
            ({"quake3": {"q3dm17.jpg": JPEG}}, {}, "1 level picture imported from ~/.q3a/baseq3", True),
            ({"system": {"a.jpg": JPEG}}, {"a": b"mine"}, f"No new level pictures in {self.system}", True),
        ]
        for data, before, want, marker in cases:
            with self.subTest(data=data, before=before):
                shutil.rmtree(self.home, ignore_errors=True)
                shutil.rmtree(self.path("usr"), ignore_errors=True)
                for name, shots in data.items():
                    folder = getattr(self, name)
                    if shots is not None:
                        os.makedirs(folder)
                        if shots:
                            self.pk3(folder, "pak0.pk3", shots)
                for name, picture in before.items():
                    self.put_picture(name, picture)
                self.assertEqual(self.start(), (self.work, want))
                self.assertEqual(os.path.exists(os.path.join(self.work, ".levelshots-imported")), marker)

    def test_a_start_that_finds_game_data_later_imports_then(self):
        self.assertEqual(self.start()[1], "<none>")
        self.pk3(self.system, "pak0.pk3", {"oa_dm1.jpg": JPEG})
        self.assertEqual(self.start()[1], f"1 level picture imported from {self.system}")
        self.assertEqual(self.start(game_data="")[1], "<none>")

    def test_no_game_data_to_look_in(self):
        self.pk3(self.system, "pak0.pk3", {"oa_dm1.jpg": JPEG})
        self.assertEqual(self.start(game_data="")[1], "<none>")
        self.assertIsNone(self.picture("oa_dm1"))

    def test_a_tool_that_fails_is_reported_and_tried_again_next_time(self):
        self.pk3(self.system, "pak0.pk3", {"oa_dm1.jpg": JPEG})
        broken = self.path("broken-tool")
        with open(broken, "w") as f:
            f.write("#!/bin/sh\necho 'levelshots: something went wrong' >&2\nexit 2\n")
        os.chmod(broken, stat.S_IRWXU)
        for tool, want in [(self.path("missing-tool"), f"Level pictures not imported from {self.system}: "
                                                        f"the tool {self.path('missing-tool')} is missing"),
                           (broken, f"Level pictures not imported from {self.system}: levelshots: something went wrong")]:
            with self.subTest(tool=tool):
                folder, notice = self.start(tool=tool)
                self.assertEqual(folder, self.work, "the program starts all the same")
                self.assertEqual(notice, want)
                self.assertFalse(os.path.exists(os.path.join(self.work, ".levelshots-imported")))
        self.assertEqual(self.start()[1], f"1 level picture imported from {self.system}")

    def test_pictures_the_tool_could_not_convert_are_mentioned(self):
        self.pk3(self.system, "pak0.pk3", {"oa_dm1.jpg": JPEG})
        partly = self.path("partly")
        with open(partly, "w") as f:
            f.write(f"#!/bin/sh\n{TOOL} \"$@\"\necho 'levelshots: 1 pictures need a converter' >&2\nexit 1\n")
        os.chmod(partly, stat.S_IRWXU)
        self.assertEqual(self.start(tool=partly)[1], f"1 level picture imported from {self.system}; some could not "
                                                     "be converted (see ~/.local/share/corvane/.levelshots-imported)")
        with open(os.path.join(self.work, ".levelshots-imported")) as f:
            self.assertIn("need a converter", f.read())


if __name__ == "__main__":
    unittest.main()
