#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz harnesses into tests/fuzz/corpus/, from the replies in
tests/data/captures, the files shipped in data/, and a few hand-made inputs for what those do
not show. Run it again when the captures or the shipped files change:

    python3 tests/fuzz/make_seeds.py [--images build/tests/fuzz/fuzz_seed_images]

The version-record seeds are executable images written by fuzz_seed_images (built with the
test suite); the JPEG seeds are made with ImageMagick's convert. Without them those two
folders are left as they are.
"""
import argparse
import pathlib
import shutil
import struct
import subprocess

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
CAPTURES = ROOT / "tests" / "data" / "captures"
DATA = ROOT / "data"
CORPUS = HERE / "corpus"

PRINT = b"\xff\xff\xff\xffprint\n"


def capture(name):
    return (CAPTURES / (name + ".bin")).read_bytes()


def captures():
    return {p.stem: p.read_bytes() for p in sorted(CAPTURES.glob("*.bin"))}


def joined(first, second):
    """A chunked reply joined as the assembler joins it."""
    return capture(first) + capture(second)[len(PRINT):]


def fresh(folder):
    path = CORPUS / folder
    if path.exists():
        shutil.rmtree(path)
    path.mkdir(parents=True)
    return path


def write_all(folder, seeds):
    path = fresh(folder)
    for name, data in seeds.items():
        (path / name).write_bytes(data)


def replies():
    seeds = dict(captures())
    seeds["join_q3_status_14bots"] = joined("q3_status_14bots_1", "q3_status_14bots_2")
    seeds["join_q3_serverinfo"] = joined("q3_serverinfo_1", "q3_serverinfo_2")
    seeds["join_q2_status_24"] = joined("hand_q2_status_24_1", "hand_q2_status_24_2")
    seeds["join_q3orig_status_16"] = joined("hand_q3orig_status_16_1", "hand_q3orig_status_16_2")
    seeds["hand_q2_cvar_timelimit"] = PRINT + b'"timelimit" is "20"\n'
    seeds["hand_q3_two_players_one_name"] = (
        PRINT + b"map: q3dm17\ncl score ping name            address                                 rate \n"
        b"-- ----- ---- --------------- --------------------------------------- -----\n"
        b" 0     5   12 Twin            ^71.2.3.4:27960                          25000\n"
        b" 1     7   40 Twin            ^75.6.7.8:27960                          25000\n"
        b" 2     0 CNCT ^1Red^7 Space   ^7bot                                    16384\n\n")
    seeds.update(ENGINE_TABLES)
    seeds["hand_q3_marker_names"] = (
        PRINT + b"map: q3dm17\ncl score ping name            address                                 rate \n"
        b"-- ----- ---- --------------- --------------------------------------- -----\n"
        b" 0     0    0 Bad rconpassword. ^7bot                                     16384\n"
        b" 1     0    0 statusResponse  ^7bot                                     16384\n"
        b" 2     0    0 map: q3dm1      ^7bot                                     16384\n\n")
    seeds["hand_q3_marker_hostname"] = (
        PRINT + b"Server info settings:\nsv_hostname          Best map: q3dm17\nmapname              q3dm17\n")
    return seeds


# The status tables of other engines, as their published source prints them.
ENGINE_TABLES = {
    "hand_q3e_status": (
        PRINT + b"map: q3dm17\ncl score ping name             address             rate\n"
        b"-- ----- ---- ---------------- ------------------- -----\n"
        b" 0     5   48 Name With Spaces^7 203.0.113.7:27960   25000\n"
        b" 1     0 CON ^1Very^7LongName    ^7 [2001:db8::5]:27960 25000\n\n"),
    "hand_yamagi_status": (
        PRINT + b"map              : q2dm1\nnum score ping name            lastmsg address               qport \n"
        b"--- ----- ---- --------------- ------- --------------------- ------\n"
        b" 0    15   45 Grunt                50 [203.0.113.7]:27901    1234\n\n"),
    "hand_q2pro_status": (
        PRINT + b"Current map: q2dm1\n\nnum score ping name            lastmsg address                rate pr fps\n"
        b"--- ----- ---- --------------- ------- --------------------- ----- -- ---\n"
        b"  0    15   45 Grunt                50 203.0.113.7:27901     25000 34  60 \n"
        b"  1     0 DNLD Extraordinarily       0 [2001:db8::5]:27910   15000 36  10 \n\n"),
    "hand_q2pro_empty": PRINT + b"Current map: q2dm1\n\nNo UDP clients.\n\n",
}


# The classifier's first byte: the state (0 idle, 1 refused, 2 connecting, 3 polling,
# 4 awaiting user info) plus 5 for Quake 2.
CLASSIFY = {
    "q3": (0, ["q3_status_14bots_1", "q3_bad_rconpassword", "q3_no_rconpassword", "q3_getstatus_14bots",
               "q3_serverinfo_1", "q3_read_only", "q3_dumpuser_2", "q3_kick_42"]),
    "q2": (5, ["hand_q2_status", "hand_q2_bad_rcon_password", "hand_q2_statusresponse", "hand_q2_serverinfo",
               "hand_q2_dumpuser"]),
}


def classify():
    seeds = {}
    for game, (offset, names) in CLASSIFY.items():
        for name in names:
            for state in (2, 3, 4):
                seeds[f"{game}_state{state}_{name}"] = bytes([offset + state]) + capture(name)
    for name, reply in ENGINE_TABLES.items():
        seeds[f"{'q3' if 'q3e' in name else 'q2'}_state2_{name}"] = bytes([2 if "q3e" in name else 7]) + reply
    seeds["q3_state0_idle"] = bytes([0]) + capture("q3_status_14bots_1")
    seeds["q2_state1_refused"] = bytes([6]) + capture("hand_q2_status")
    return seeds


def feed(step, datagram):
    return bytes([step << 2 | 0]) + struct.pack("<H", len(datagram)) + datagram


def sent(step=0):
    return bytes([step << 2 | 1])


def poll(step):
    return bytes([step << 2 | 2])


def assembler():
    q3, q2 = b"\x00", b"\x01"
    s1, s2 = capture("q3_status_14bots_1"), capture("q3_status_14bots_2")
    i1, i2 = capture("q3_serverinfo_1"), capture("q3_serverinfo_2")
    return {
        "q3_status_chunked": q3 + sent() + feed(2, s1) + feed(0, s2),
        "q3_serverinfo_chunked": q3 + sent() + feed(2, i1) + feed(1, i2) + poll(12),
        "q3_status_then_serverinfo": q3 + sent() + feed(1, s1) + feed(0, s2) + sent() + feed(2, i1) + feed(0, i2),
        "q3_answer_between_chunks": q3 + sent() + sent() + feed(1, s1) + feed(0, capture("q3_kick_42")) + feed(0, s2),
        "q3_late_continuation": q3 + sent() + feed(1, i1) + feed(11, i2),
        "q3_lost_requests": q3 + sent() + sent() + sent() + feed(61, s1) + feed(0, s2) + bytes([3]),
        "q3_orig_chunked": q3 + sent() + feed(1, capture("hand_q3orig_status_16_1")) +
                           feed(0, capture("hand_q3orig_status_16_2")),
        "q2_status_chunked": q2 + sent() + feed(1, capture("hand_q2_status_24_1")) +
                             feed(0, capture("hand_q2_status_24_2")),
        "q2_refusal": q2 + sent() + feed(1, capture("hand_q2_bad_rcon_password")),
        "q3_status_reordered": q3 + sent() + sent() + feed(1, s2) + feed(0, s1) + poll(12),
    }


def datagrams(*chunks):
    """The variable-listing harness's events: each datagram after its length."""
    return b"".join(struct.pack("<H", len(c)) + c for c in chunks)


def cvar_list():
    q3, q2 = b"\x00", b"\x01"
    listing = [capture(f"q3_cvarlist_{i}") for i in range(1, 11)]
    q2_id = PRINT + b'*  S hostname "My Server"\n  S- version "3.21 x86"\n     rcon_password "secret"\n3 cvars\n'
    q2pro = PRINT + b'hostname "noname"\nrcon_password "secret"\n2 of 212 cvars\n'
    return {
        "q3_cvarlist": q3 + datagrams(*listing),
        "q3_cvarlist_lost_3": q3 + datagrams(*(listing[:2] + listing[3:])),
        "q3_cvarlist_lost_last": q3 + datagrams(*listing[:-1]),
        "q3_refusal": q3 + datagrams(capture("q3_bad_rconpassword")),
        "q3_unknown_command": q3 + datagrams(PRINT + b"unknown command: cvarlist\n"),
        "q2_id": q2 + datagrams(q2_id[:30], PRINT + q2_id[30:]),
        "q2pro": q2 + datagrams(q2pro),
        "q2_refusal": q2 + datagrams(capture("hand_q2_bad_rcon_password")),
    }


def lookup_list():
    seeds = {p.name: p.read_bytes() for p in sorted((DATA / "levels").glob("*/*.txt"))}
    seeds["hand_line_ends"] = b"q3dm1\tArena Gate\r\nq3dm2\r\n\r\nq3dm3\tHouse\tof Pain\nq3dm4\rlone\n\r\x1aq3dm5\tafter end"
    seeds["hand_long_fields"] = b"k" * 300 + b"\t" + b"v" * 300 + b"\r\n"
    return seeds


def addresses():
    texts = ["127.0.0.1", "203.0.113.7", "127.1", "0x7f.1", "255.255.255.255", "::1", "[::1]", "2001:db8::5",
             "[2001:DB8:0:0:0:0:0:5]", "::ffff:192.0.2.1", "fe80::1%lo", "fe80::1%1", "[fe80::1%lo]",
             "[2001:db8::5]:27960", "q3.example.org", "bot", "loopback", "1:2:3:4:5:6:7:8", "::"]
    return {f"hand_{i:02}": text.encode() for i, text in enumerate(texts)}


def ini():
    seeds = {p.name: p.read_bytes() for p in sorted(DATA.glob("*-default.ini"))}
    seeds["hand_corvane_ini"] = (
        b"[Common]\r\nNumServers=2\r\nTerminalFontName=Fixedsys\r\nTerminalFontSize=9\r\n"
        b"TerminalFontColor=65280\r\nTerminalColor=0\r\n[Server0]\r\nHostName=127.0.0.1\r\nPort=27960\r\n"
        b"Password=5B4D4C\r\nGameType=0\r\nDescription=\"  quoted  \"\r\n[Server1]\r\nHostName=q2.example\r\n"
        b"Port=$6CF6\r\nGameType=2\r\nDescription='single'\r\n")
    seeds["hand_odd_lines"] = (
        b"\xef\xbb\xbf[ common ]\n; comment=1\nNUMFIELDS = 0x2\n[Field1]\ntype=bool\nname=\n[field2]\n"
        b"Name=g_doWarmup\nDefault=\"0\nkey without equals\n=no name\n[unclosed\n[Field2]\nHint=again\x00Fuzz value")
    return seeds


def rtf():
    return {
        "Corvane.rtf": (DATA / "Corvane.rtf").read_bytes(),
        "hand_unicode_and_bin": b"{\\rtf1\\ansi\\uc2\\u8364??\\'80{\\*\\ignored {x}}\\bin4 {}{}\\u-3913 ?\\line\\tab x\\par}",
        "hand_tables": b"{\\rtf1{\\fonttbl{\\f0\\froman Times;}{\\f1\\fprq1 Mono;}}{\\colortbl;\\red255\\green0\\blue0;;}"
                       b"\\pard\\qj\\li-720\\fi360\\tx720\\tx1440\\cf1\\highlight2\\f1\\fs3276 a\\cell b\\row"
                       b"{\\v hidden}\\ul\\strike\\b0\\i text\\plain\\par{\\pict\\wmetafile8 0102}}",
        "hand_plain.txt": b"Plain text to do\r\nsecond line\rthird\n\x93quoted\x94\n",
    }


def jpeg(folder):
    convert = shutil.which("convert")
    if not convert:
        print("convert (ImageMagick) not found: the JPEG seeds are kept as they are")
        return
    path = fresh(folder)
    shots = {
        "baseline.jpg": ["-size", "16x16", "gradient:red-blue", "-quality", "60"],
        "progressive.jpg": ["-size", "24x8", "pattern:checkerboard", "-interlace", "JPEG", "-quality", "50"],
        "gray.jpg": ["-size", "8x8", "gradient:", "-colorspace", "Gray", "-quality", "70"],
        "cmyk.jpg": ["-size", "8x8", "xc:orange", "-colorspace", "CMYK", "-quality", "80"],
        "subsampled_restart.jpg": ["-size", "17x9", "gradient:green-yellow", "-sampling-factor", "2x2",
                                   "-define", "jpeg:restart-interval=1", "-quality", "40"],
    }
    for name, args in shots.items():
        subprocess.run([convert, *args, "-strip", str(path / name)], check=True)


def version_record(folder, tool):
    if not tool:
        print("no --images tool given: the version-record seeds are kept as they are")
        return
    path = fresh(folder)
    subprocess.run([tool, str(path)], check=True)


def bans():
    """The ban lists and answers of both games, as OpenArena 0.8.8 and the Quake 2 game print them."""
    return {
        "q3_listbans": b"Ban #1: 203.0.113.7/32\nBan #2: 198.51.100.0/24\nBan #3: 2001:db8::/32\n"
                       b"Except #1: 198.51.100.9/32\n",
        "q3_listbans_unread_ipv6": b"Ban #1: 127.0.0.3/0\nBan #2: 10.1.0.0/16\nBan #3: 10.1.0.0/16\n",
        "q3_banaddr": b"writing to: /home/oa/.openarena/baseoa/serverbans.dat\nAdded ban: 203.0.113.7/32\n",
        "q3_supersedes": b"Error: Ban 198.51.100.0/24 supersedes ban 198.51.100.9/32\n",
        "q3_bot": b"Error: Can ban players connected via the internet only.\n",
        "q3_echo": PRINT + b"console: hello  all // x\n",
        "q3_tell_echo": PRINT + b"console_tell: psst\n",
        "q2_listip": b"Filter list:\n192.168.  0.  0\n 10.  0.  0.  5\n203.  0.113.  7\n",
        "q2_removeip": b"Didn't find 10.0.0.5.\n",
        "address_v4": b"198.51.100.0/24",
        "address_v6": b"2001:db8::/32",
    }


def colours():
    """Names as servers print them, with their colour codes."""
    return {
        "plain": b"Sarge",
        "coloured": b"^1Very^7LongName",
        "letters": b"^aX^AY^zZ",
        "carets": b"^^1X^ ^",
        "trailing": b"^3Gold^7^7",
        "host_name": b"^1Test ^7Server^7",
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--images", help="the fuzz_seed_images executable")
    args = parser.parse_args()
    write_all("replies", replies())
    write_all("classify", classify())
    write_all("assembler", assembler())
    write_all("cvar_list", cvar_list())
    write_all("lookup_list", lookup_list())
    write_all("ini", ini())
    write_all("addresses", addresses())
    write_all("rtf", rtf())
    write_all("bans", bans())
    write_all("colours", colours())
    jpeg("jpeg")
    version_record("version_record", args.images)
    for folder in sorted(CORPUS.iterdir()):
        files = list(folder.iterdir())
        print(f"{folder.name}: {len(files)} seeds, {sum(f.stat().st_size for f in files)} bytes")


if __name__ == "__main__":
    main()
