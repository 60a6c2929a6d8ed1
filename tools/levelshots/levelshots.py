#!/usr/bin/env python3
"""Copies the level pictures a game installation already has into Corvane's working folder.

Quake 3 and its offspring keep one picture per map as levelshots/NAME.jpg or .tga inside their
.pk3 archives (zip files); Quake 2 ports do the same in .pk3 or id .pak archives. Corvane shows
"levels/Quake3/NAME.jpg" (or "levels/Quake2/NAME.jpg") below its working folder, so this tool
picks each map's picture the way the game would and writes it there as a JPEG.

    levelshots.py [--game q3|q2] [--dest FOLDER] [--force] [--size N] PAK [PAK ...]

A PAK that is a folder stands for every .pk3 and .pak archive in it (and a levelshots/ folder
beside them). Archives are read in name order and a later one replaces what an earlier one
holds, as the game does. Existing pictures are kept unless --force is given. Pictures that are
not JPEG already become JPEG: TGA with libjpeg's cjpeg (Debian: libjpeg-turbo-progs), any kind
(TGA, PNG, PCX) with ImageMagick's convert; convert also makes every picture no larger than
N x N pixels when --size asks for it.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

GAME_FOLDERS = {"q3": "Quake3", "q2": "Quake2"}
# The order in which the engine tries a picture's file types: the first type found wins.
EXTENSION_ORDER = {"q3": ["tga", "jpg", "jpeg", "png"], "q2": ["tga", "jpg", "jpeg", "png", "pcx"]}
SHOT = re.compile(r"(?:\./)?levelshots/([^/]+)\.([A-Za-z]+)$", re.IGNORECASE)


class Shot:
    """One level picture found in a source: where it lies and how to read its bytes."""

    def __init__(self, name, extension, source, read):
        self.name, self.extension, self.source, self.read = name, extension.lower(), source, read


def pak_entries(path):
    """The (name, offset, length) entries of an id .pak archive."""
    with open(path, "rb") as f:
        header = f.read(12)
        if len(header) < 12 or header[:4] != b"PACK":
            raise ValueError("not a pak archive")
        offset, length = struct.unpack("<ii", header[4:])
        f.seek(offset)
        directory = f.read(length)
    for i in range(0, len(directory) - 63, 64):
        name = directory[i:i + 56].split(b"\0", 1)[0].decode("latin-1")
        position, size = struct.unpack_from("<ii", directory, i + 56)
        yield name, position, size


def read_member(path, member):
    with zipfile.ZipFile(path) as archive:
        return archive.read(member)


def read_range(path, position, size):
    with open(path, "rb") as f:
        f.seek(position)
        return f.read(size)


def shots_in(path):
    """Every level picture in one archive or loose levelshots folder."""
    found = []

    def add(member, read):
        match = SHOT.match(member.replace("\\", "/"))
        if match:
            found.append(Shot(match.group(1), match.group(2), path, read))

    if os.path.isdir(path):
        for entry in sorted(os.listdir(path)):
            full = os.path.join(path, entry)
            add("levelshots/" + entry, lambda full=full: open(full, "rb").read())
    elif zipfile.is_zipfile(path):
        with zipfile.ZipFile(path) as archive:
            for member in archive.namelist():
                add(member, lambda member=member: read_member(path, member))
    else:
        for name, position, size in pak_entries(path):
            add(name, lambda position=position, size=size: read_range(path, position, size))
    return found


def sources(paths):
    """The archives and folders to read, lowest priority first."""
    result = []
    for path in paths:
        if not os.path.exists(path):
            raise FileNotFoundError(f"{path}: no such file or folder")
        if os.path.isdir(path):
            archives = sorted(e for e in os.listdir(path) if e.lower().endswith((".pk3", ".pak")))
            result += [os.path.join(path, e) for e in archives]
            loose = [e for e in os.listdir(path) if e.lower() == "levelshots"]
            result += [os.path.join(path, e) for e in loose if os.path.isdir(os.path.join(path, e))]
        else:
            result.append(path)
    return result


def choose(shots, game):
    """Each map's picture: the first file type in the engine's order, from the latest source."""
    order = EXTENSION_ORDER[game]
    best = {}
    for index, shot in enumerate(shots):
        if shot.extension not in order:
            continue
        rank = (-order.index(shot.extension), index)
        key = shot.name.lower()
        if key not in best or rank > best[key][0]:
            best[key] = (rank, shot)
    return sorted((shot for _, shot in best.values()), key=lambda s: s.name.lower())


def converters():
    """The installed programs that make JPEG pictures, by name (None where one is missing)."""
    return {"convert": shutil.which("convert") or shutil.which("magick"), "cjpeg": shutil.which("cjpeg")}


def conversion(extension, size, programs, target):
    """The command that reads a picture of this type on its input and writes the JPEG target;
    None when none of the programs found can."""
    if extension == "tga" and not size and programs.get("cjpeg"):
        return [programs["cjpeg"], "-quality", "90", "-targa", "-outfile", target]
    if programs.get("convert"):
        # -auto-orient: a TGA stores its rows bottom-up unless its header says otherwise, and
        # ImageMagick 6 only notes that instead of turning the picture the right way up.
        command = [programs["convert"], f"{extension}:-", "-auto-orient",
                   "-background", "black", "-alpha", "remove", "-alpha", "off"]
        if size:
            command += ["-resize", f"{size}x{size}>"]
        return command + ["-quality", "90", f"jpeg:{target}"]
    return None


def write_jpeg(shot, data, target, size, programs):
    """Writes the picture as a JPEG at target; False when it would need a converter we lack."""
    handle, temporary = tempfile.mkstemp(dir=os.path.dirname(target), suffix=".part")
    os.close(handle)
    try:
        if shot.extension in ("jpg", "jpeg") and not size:
            with open(temporary, "wb") as out:
                out.write(data)
        else:
            command = conversion(shot.extension, size, programs, temporary)
            if not command:
                return False
            subprocess.run(command, input=data, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        os.replace(temporary, target)
    finally:
        if os.path.exists(temporary):
            os.unlink(temporary)
    return True


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("paks", nargs="+", metavar="PAK", help=".pk3/.pak archive, or a folder of them")
    parser.add_argument("--game", choices=sorted(GAME_FOLDERS), default="q3", help="game of the archives (default q3)")
    parser.add_argument("--dest", default=".", help="Corvane's working folder (default: the current folder)")
    parser.add_argument("--force", action="store_true", help="replace pictures that are there already")
    parser.add_argument("--size", type=int, default=0, metavar="N", help="scale larger pictures down to fit N x N")
    args = parser.parse_args(argv)

    try:
        found = []
        for source in sources(args.paks):
            try:
                found += shots_in(source)
            except (OSError, ValueError, zipfile.BadZipFile) as error:
                print(f"levelshots: skipping {source}: {error}", file=sys.stderr)
    except FileNotFoundError as error:
        print(f"levelshots: {error}", file=sys.stderr)
        return 2

    chosen = choose(found, args.game)
    target_folder = os.path.join(args.dest, "levels", GAME_FOLDERS[args.game])
    os.makedirs(target_folder, exist_ok=True)
    programs = converters()
    written = kept = failed = 0
    lacking_converter = []
    for shot in chosen:
        target = os.path.join(target_folder, shot.name + ".jpg")
        if os.path.exists(target) and not args.force:
            kept += 1
            continue
        try:
            if write_jpeg(shot, shot.read(), target, args.size, programs):
                written += 1
            else:
                lacking_converter.append(shot.name)
        except (OSError, zipfile.BadZipFile, subprocess.CalledProcessError) as error:
            failed += 1
            detail = error.stderr.decode(errors="replace").strip() if isinstance(error, subprocess.CalledProcessError) else error
            print(f"levelshots: {shot.name} from {shot.source}: {detail}", file=sys.stderr)

    print(f"levelshots: {len(chosen)} level pictures found, {written} written to {target_folder}, "
          f"{kept} already there" + (f", {failed} failed" if failed else ""))
    if lacking_converter:
        print(f"levelshots: {len(lacking_converter)} pictures need a converter to become JPEG (Debian: "
              f"apt-get install libjpeg-turbo-progs for TGA, imagemagick for the rest and for --size): "
              f"{' '.join(lacking_converter)}", file=sys.stderr)
    return 1 if failed or lacking_converter else 0


if __name__ == "__main__":
    sys.exit(main())
