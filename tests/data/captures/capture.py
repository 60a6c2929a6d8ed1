#!/usr/bin/env python3
"""Capture datagrams from a local OpenArena server into .bin files."""
import socket, sys, time, os

HOST, PORT = "127.0.0.1", int(sys.argv[1])
OUT = sys.argv[2]
MODE = sys.argv[3] if len(sys.argv) > 3 else "full"
M = b"\xff\xff\xff\xff"
os.makedirs(OUT, exist_ok=True)
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", 0))
s.settimeout(0.3)
log = open(os.path.join(OUT, "log.txt"), "a")

def drain(wait=1.0):
    got = []
    end = time.time() + wait
    while time.time() < end:
        try:
            d, _ = s.recvfrom(65536)
            got.append((time.time(), d))
        except socket.timeout:
            pass
    return got

def req(payload, name=None, wait=1.2):
    s.sendto(payload, (HOST, PORT))
    t0 = time.time()
    got = drain(wait)
    log.write("REQ %r\n" % payload)
    for i, (t, d) in enumerate(got):
        log.write("  +%.4fs %d bytes %r\n" % (t - t0, len(d), d[:120]))
        if name:
            fn = os.path.join(OUT, "%s%s.bin" % (name, "" if len(got) == 1 else "_%d" % (i + 1)))
            open(fn, "wb").write(d)
    log.flush()
    return got

def rcon(cmd, name=None, pw="secret", wait=1.2):
    return req(M + b"rcon " + pw.encode() + b" " + cmd, name, wait)

if MODE == "nopass":
    rcon(b" status", "q3_no_rconpassword")
    sys.exit(0)

if MODE == "cvarlist":
    # Values whose printing matters: colour codes, a colour code at the end, blanks, nothing.
    for cmd in (b'set g_motd "a;b ^7"', b"set zz_end abc^7", b'set zz_empty ""', b'set zz_spaces "  two  spaces "'):
        rcon(cmd, wait=1.1)
    rcon(b"g_motd", "q3_cvar_g_motd")
    rcon(b"cvarlist", "q3_cvarlist")
    sys.exit(0)

bots = [
    b'sarge 3',
    b'grism 3 blue 0 "Has Space"',
    b'sarge 3 blue 0 "^1Very^7LongName"',
    b'angelyss 3 blue 0 "ExtraordinarilyLongName"',
    b'major 3 blue 0 "SixteenCharsName"',
    b'kyonshi 3',
    b'gargoyle 3',
    b'merman 3',
    b'liz 3',
    b'beret 3',
    b'skelebot 3',
    b'sorceress 3',
    b'arachna 3',
    b'grunt 3 blue 0 "^4Blue^2Green ^3x"',
]
for b in bots:
    rcon(b"addbot " + b, wait=1.1)
time.sleep(4)
drain(0.5)
req(M + b"getstatus", "q3_getstatus_14bots")
rcon(b" status", "q3_status_14bots")
rcon(b" serverinfo", "q3_serverinfo")
rcon(b" dumpuser 2", "q3_dumpuser_2")
rcon(b"sv_hostname", "q3_cvar_sv_hostname")
rcon(b"timelimit", "q3_cvar_timelimit")
rcon(b" status", "q3_bad_rconpassword", pw="wrong")
time.sleep(1.2)
rcon(b"sv_cheats 1", "q3_read_only")
rcon(b" kick 42", "q3_kick_42")
rcon(b" clientkick 42", "q3_clientkick_42")
rcon(b" map nosuchmap", "q3_map_nosuchmap")
rcon(b" dumpuser 42", "q3_dumpuser_42")
req(M + b"  getstatus", "q3_getstatus_two_spaces")
