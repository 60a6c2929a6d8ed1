#!/usr/bin/env python3
"""Writes the hand-made samples (hand_*.bin): replies of servers we cannot run here, printed
the way those servers print them, piece by piece into a print buffer that is sent whenever
the next piece would not fit (the same way the captured ioquake3 replies were cut)."""
M = b"\xff\xff\xff\xff"


class Printer:
    def __init__(self, buffer):
        self.limit = buffer - 1
        self.buf = b""
        self.out = []

    def p(self, piece):
        if isinstance(piece, str):
            piece = piece.encode("latin-1")
        if len(self.buf) + len(piece) > self.limit:
            self.flush()
        self.buf += piece

    def flush(self):
        self.out.append(M + b"print\n" + self.buf)
        self.buf = b""

    def done(self):
        self.flush()
        return self.out


def write(name, datagrams):
    if len(datagrams) == 1:
        open(name + ".bin", "wb").write(datagrams[0])
    else:
        for i, d in enumerate(datagrams):
            open("%s_%d.bin" % (name, i + 1), "wb").write(d)


def ping_text(ping):
    return "%4i " % ping if isinstance(ping, int) else ping + " "


# Quake 3 before ioquake3: name padded by its byte length, "^7" right after the name.
def q3_original(players, mapname="q3dm17"):
    pr = Printer(1008)
    pr.p("map: %s\n" % mapname)
    pr.p("num score ping name            lastmsg address               qport rate\n")
    pr.p("--- ----- ---- --------------- ------- --------------------- ----- -----\n")
    for num, score, ping, name, lastmsg, address, qport, rate in players:
        pr.p("%3i " % num)
        pr.p("%5i " % score)
        pr.p(ping_text(ping))
        pr.p(name)
        pr.p("^7")
        for _ in range(16 - len(name)):
            pr.p(" ")
        pr.p("%7i " % lastmsg)
        pr.p(address)
        for _ in range(22 - len(address)):
            pr.p(" ")
        pr.p("%5i" % qport)
        pr.p(" %5i" % rate)
        pr.p("\n")
    pr.p("\n")
    return pr.done()


# Quake 2: name padded to 16 bytes, no rate column, buffer of 1384 bytes.
def q2_table(players, mapname="q2dm1"):
    pr = Printer(1384)
    pr.p("map              : %s\n" % mapname)
    pr.p("num score ping name            lastmsg address               qport \n")
    pr.p("--- ----- ---- --------------- ------- --------------------- ------\n")
    for num, score, ping, name, lastmsg, address, qport in players:
        pr.p("%3i " % num)
        pr.p("%5i " % score)
        pr.p(ping_text(ping))
        pr.p(name)
        for _ in range(16 - len(name)):
            pr.p(" ")
        pr.p("%7i " % lastmsg)
        pr.p(address)
        for _ in range(22 - len(address)):
            pr.p(" ")
        pr.p("%5i" % qport)
        pr.p("\n")
    pr.p("\n")
    return pr.done()


def q2_info_print(pr, pairs):
    for key, value in pairs:
        pr.p(key + " " * (20 - len(key)) if len(key) < 20 else key)
        pr.p(value + "\n")


q3_players = [
    (0, 12, 50, "Sarge", 0, "192.168.0.20:27960", 4711, 25000),
    (1, 3, "CNCT", "^1Red^7Baron", 150, "10.0.0.7:27960", 12345, 3000),
    (2, -1, "ZMBI", "Zombie Player", 9000, "10.0.0.8:1024", 2, 5000),
    (3, 0, 999, "ExactlySixteen16", 33, "172.16.254.1:27961", 65535, 90000),
    (4, 7, 0, "Host", 0, "loopback", 0, 25000),
    (5, 2, 0, "A Bot With Spaces", 50, "bot", 0, 16384),
    (6, 1, 71, "Twentycharacterslong", 100, "123.123.123.123:27960", 31337, 25000),
]
write("hand_q3orig_status", q3_original(q3_players))

# Enough players to overflow one chunk of 1007 bytes.
many = [(i, i * 2, 30 + i, "Player %d" % i, i * 10, "10.1.%d.%d:27960" % (i, i), 1000 + i, 25000) for i in range(16)]
write("hand_q3orig_status_16", q3_original(many))

q2_players = [
    (0, 15, 45, "Grunt", 0, "192.168.1.2:27901", 8412),
    (1, 0, "CNCT", "New Player", 200, "192.168.1.3:27901", 999),
    (2, -3, "ZMBI", "SixteenCharName!", 5000, "192.168.1.4:27901", 12),
    (3, 8, 9999, "space man", 12, "127.0.0.1:27901", 31000),
]
write("hand_q2_status", q2_table(q2_players))
many2 = [(i, i, 20 + i, "q2 player %d" % i, i, "10.2.%d.%d:27901" % (i, i), 2000 + i) for i in range(24)]
write("hand_q2_status_24", q2_table(many2))

q2_info = "\\mapname\\q2dm1\\timelimit\\20\\fraglimit\\30\\hostname\\Quake 2 Box\\maxclients\\16"
q2_resp = M + b"print\n" + q2_info.encode() + b"\n" + b'15 45 "Grunt"\n0 200 "New Player"\n-3 999 "space man"\n'
write("hand_q2_statusresponse", [q2_resp])

pr = Printer(1384)
pr.p("Server info settings:\n")
q2_info_print(pr, [("mapname", "q2dm1"), ("timelimit", "20"), ("fraglimit", "30"),
                   ("hostname", "Quake 2 Box"), ("maxclients", "16"), ("g_gametype", "7"),
                   ("a_very_long_key_name", "glued")])
write("hand_q2_serverinfo", pr.done())

pr = Printer(1384)
pr.p("userinfo\n")
pr.p("--------\n")
q2_info_print(pr, [("name", "^4Blue^7Man"), ("skin", "male/grunt"), ("rate", "25000"), ("msg", "1")])
write("hand_q2_dumpuser", pr.done())

write("hand_q2_bad_rcon_password", [M + b"print\nBad rcon_password.\n"])
