#!/usr/bin/env python3
"""Writes the map lists shipped in data/levels/.

Each list holds one map per line: the map name as the server reports it in mapname, a tab,
the map's title; lines end with CR LF, which is what the program's lookup-list reader takes
as the end of a line.

Quake 3 Arena and Quake 2 stock maps come from the tables below. OpenArena's maps are read
from its installed .pk3 archives: every maps/*.bsp is a map, and the game's arena scripts
(scripts/arenas.txt, scripts/*.arena) give each map its title and the game types it is made
for. Where a later archive replaces a script, its entries win; entries of replaced scripts
are used only for maps the current scripts no longer mention.

    tools/maplists/make_maplists.py [--openarena DIR] [--out data/levels]
"""

import argparse
import glob
import os
import re
import struct
import sys
import zipfile

# Our list file for each Quake 3 game type, and the arena-script type words that put a map in it.
GAME_TYPE_LISTS = [
    ("q3-dm-maps.txt", {"ffa"}),              # Free For All
    ("q3-duel-maps.txt", {"tourney"}),        # Tournament
    ("q3-single-maps.txt", {"single"}),       # Single Player
    ("q3-team-maps.txt", {"team", "tdm"}),    # Team Deathmatch
    ("q3-ctf-maps.txt", {"ctf"}),             # Capture the Flag
]

Q3A_TITLES = {
    "q3dm0": "Introduction",
    "q3dm1": "Arena Gate",
    "q3dm2": "House of Pain",
    "q3dm3": "Arena of Death",
    "q3dm4": "The Place of Many Deaths",
    "q3dm5": "The Forgotten Place",
    "q3dm6": "The Camping Grounds",
    "q3dm7": "Temple of Retribution",
    "q3dm8": "Brimstone Abbey",
    "q3dm9": "Hero's Keep",
    "q3dm10": "The Nameless Place",
    "q3dm11": "Deva Station",
    "q3dm12": "The Dredwerkz",
    "q3dm13": "Lost World",
    "q3dm14": "Grim Dungeons",
    "q3dm15": "Demon Keep",
    "q3dm16": "The Bouncy Map",
    "q3dm17": "The Longest Yard",
    "q3dm18": "Space Chamber",
    "q3dm19": "Apocalypse Void",
    "q3tourney1": "Power Station 0218",
    "q3tourney2": "The Proving Grounds",
    "q3tourney3": "Hell's Gate",
    "q3tourney4": "Vertical Vengeance",
    "q3tourney5": "Fatal Instinct",
    "q3tourney6": "The Very End of You",
    "q3ctf1": "Dueling Keeps",
    "q3ctf2": "Troubled Waters",
    "q3ctf3": "The Stronghold",
    "q3ctf4": "Space CTF",
    "q3tourney6_ctf": "Across Space",
}


def q3a_types(name):
    """The game types a Quake 3 Arena stock map is played in."""
    if name.startswith("q3ctf") or name.endswith("_ctf"):
        return {"ctf"}
    if name.startswith("q3tourney"):
        return {"tourney", "single"}
    if name == "q3dm0":  # the training map: too small for teams
        return {"ffa", "single"}
    return {"ffa", "single", "team"}


# Quake 2: the single-player units in the order they are played, then the deathmatch maps.
Q2_MAPS = [
    ("base1", "Outer Base"), ("base2", "Installation"), ("base3", "Comm Center"),
    ("train", "Lost Station"),
    ("bunk1", "Ammo Depot"), ("ware1", "Supply Station"), ("ware2", "Warehouse"),
    ("jail1", "Main Gate"), ("jail2", "Detention Center"), ("jail3", "Security Complex"),
    ("jail4", "Torture Chambers"), ("jail5", "Guard House"), ("security", "Grid Control"),
    ("mintro", "Mine Entrance"), ("mine1", "Upper Mines"), ("mine2", "Borehole"),
    ("mine3", "Drilling Area"), ("mine4", "Lower Mines"),
    ("fact1", "Receiving Center"), ("fact2", "Processing Plant"), ("fact3", "Sudden Death"),
    ("power1", "Power Plant"), ("power2", "The Reactor"), ("cool1", "Cooling Facility"),
    ("waste1", "Toxic Waste Dump"), ("waste2", "Pumping Station 1"), ("waste3", "Pumping Station 2"),
    ("biggun", "Big Gun"),
    ("hangar1", "Outer Hangar"), ("space", "Comm Satellite"), ("lab", "Research Lab"),
    ("hangar2", "Inner Hangar"), ("command", "Launch Command"), ("strike", "Outlands"),
    ("city1", "Outer Courts"), ("city2", "Lower Palace"), ("city3", "Upper Palace"),
    ("boss1", "Inner Chamber"), ("boss2", "Final Showdown"),
    ("q2dm1", "The Edge"), ("q2dm2", "Tokay's Towers"), ("q2dm3", "The Frag Pipe"),
    ("q2dm4", "Lost Hallways"), ("q2dm5", "The Pits"), ("q2dm6", "Lava Tomb"),
    ("q2dm7", "The Slimy Place"), ("q2dm8", "WareHouse"),
]

# OpenArena maps whose arena scripts and level files give no usable title (none at all, or
# just the file name).
OPENARENA_TITLES = {
    "islandctf": "Island (CTF)",
    "islanddm": "Island",
    "oa_bases3cl": "Some Bases (Classic)",
    "oa_ctf2old": "OA_CTF2 (Old)",
    "ps37ctf": "Obey 37",
    "q3dm6ish": "Q3DM6ish",
}


def parse_arenas(text):
    """The entries of an arena script: a list of {key: value} blocks."""
    text = re.sub(r"//[^\n]*", "", text)
    tokens = re.findall(r'"[^"]*"|[{}]|[^\s{}"]+', text)
    entries, current, key = [], None, None
    for token in tokens:
        if token == "{":
            current, key = {}, None
        elif token == "}":
            if current is not None:
                entries.append(current)
            current = None
        elif current is not None:
            value = token[1:-1] if token.startswith('"') else token
            if key is None:
                key = value.lower()
            else:
                current[key] = value
                key = None
    return entries


def type_words(entry):
    return set(re.split(r"[\s,]+", entry.get("type", "").lower())) - {""}


def worldspawn_title(bsp):
    """The "message" of a level's first entity, without an author note."""
    if len(bsp) < 16:
        return ""
    offset, length = struct.unpack_from("<ii", bsp, 8)
    entities = bsp[offset:offset + length].decode("latin-1")
    first = entities[:entities.find("}")]
    match = re.search(r'"message"\s+"([^"]*)"', first)
    if not match:
        return ""
    return re.sub(r"\s*(--\s*)?\bby\b.*$", "", match.group(1)).strip()


def openarena_maps(folder):
    """(name, title, type words) for every map of an OpenArena installation, sorted by name."""
    paks = sorted(glob.glob(os.path.join(folder, "*.pk3")))
    if not paks:
        sys.exit(f"no .pk3 files in {folder}")
    scripts = {}        # script path -> [contents, from the first archive to the last]
    bsp_source = {}     # map name -> archive holding its newest level file
    for pak in paks:
        with zipfile.ZipFile(pak) as archive:
            for member in archive.namelist():
                lower = member.lower()
                if lower.startswith("scripts/") and (lower.endswith(".arena") or lower == "scripts/arenas.txt"):
                    scripts.setdefault(lower, []).append(archive.read(member).decode("latin-1"))
                match = re.fullmatch(r"maps/([^/]+)\.bsp", member, re.IGNORECASE)
                if match:
                    bsp_source[match.group(1)] = (pak, member)
    current, replaced = {}, {}
    for versions in scripts.values():
        for entry in parse_arenas(versions[-1]):
            if entry.get("map"):
                current[entry["map"].lower()] = entry
        for text in versions[:-1]:
            for entry in parse_arenas(text):
                if entry.get("map"):
                    replaced[entry["map"].lower()] = entry
    maps = []
    for name in sorted(bsp_source, key=str.lower):
        entry = current.get(name.lower()) or replaced.get(name.lower()) or {}
        title = OPENARENA_TITLES.get(name, "") or entry.get("longname", "").strip()
        if not title:
            pak, member = bsp_source[name]
            with zipfile.ZipFile(pak) as archive:
                title = worldspawn_title(archive.read(member))
        maps.append((name, title or name, type_words(entry)))
    return maps


def write_list(path, rows):
    names = [name.lower() for name, _ in rows]
    assert len(names) == len(set(names)), f"duplicate map in {path}"
    with open(path, "wb") as out:
        for name, title in rows:
            out.write(f"{name}\t{title}\r\n".encode("cp1252"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--openarena", default="/usr/share/games/openarena/baseoa",
                        help="OpenArena's baseoa folder (default: %(default)s)")
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "..", "..", "data", "levels"),
                        help="the levels folder to write (default: data/levels)")
    args = parser.parse_args()

    q3 = [(name, title, q3a_types(name)) for name, title in Q3A_TITLES.items()]
    stock = {name for name, _, _ in q3}
    q3 += [m for m in openarena_maps(args.openarena) if m[0].lower() not in stock]

    os.makedirs(os.path.join(args.out, "Quake3"), exist_ok=True)
    os.makedirs(os.path.join(args.out, "Quake2"), exist_ok=True)
    write_list(os.path.join(args.out, "Quake3", "q3-all-maps.txt"), [(n, t) for n, t, _ in q3])
    for file_name, words in GAME_TYPE_LISTS:
        rows = [(n, t) for n, t, types in q3 if types & words]
        write_list(os.path.join(args.out, "Quake3", file_name), rows)
        print(f"{file_name}: {len(rows)} maps")
    print(f"q3-all-maps.txt: {len(q3)} maps")
    write_list(os.path.join(args.out, "Quake2", "q2-all-maps.txt"), Q2_MAPS)
    print(f"q2-all-maps.txt: {len(Q2_MAPS)} maps")


if __name__ == "__main__":
    main()
