#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz harnesses into fuzz/corpus/<harness>/:
well-formed records, reply streams, LAN frames, settings files and spin-edit
cases, plus a few damaged ones. Run again after changing a record layout."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Default-like fields of the five read records (kinds 0 to 4).
FIELDS = {
    0: "+000+000+00+00+00-00-00",
    1: "+000+00020010140000B0",
    2: "12345678",
    3: "0" + "192168010020" + "000000000000" + "255255255000" + "1" + "08000" + "0" + "F" * 32
       + "printer01" + "\xff" * 7,
    4: "2101+00" + "1B0A00" + "0" * 14,
}
SELECTOR = {0: 0, 1: 1, 2: 2, 3: 3, 4: 4, -1: 5, 5: 6, 99: 7}
STATUS = b"\x01" + b"0" + b"00" + b"000000000"   # 13 bytes, code "00"
STATUS_JAM = b"\x01" + b"0" + b"11" + b"000000000"


def record(kind):
    return ("{" + str(kind) + FIELDS[kind] + "|}").encode("latin-1")


def write(harness, name, data):
    folder = os.path.join(HERE, "corpus", harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


for kind in range(5):
    assert len(FIELDS[kind]) == [23, 21, 8, 92, 27][kind]
    sel = bytes([SELECTOR[kind]])
    write("record", f"kind{kind}", sel + record(kind))
    write("record", f"kind{kind}_short", sel + record(kind)[:len(FIELDS[kind]) // 2])
    write("serial", f"kind{kind}", sel + b"\x11" + record(kind) + b"\x13" + STATUS)
    write("serial", f"kind{kind}_restart", sel + record(kind)[:9] + record(kind))
    frame = record(kind)
    half = len(frame) // 2
    write("lan", f"kind{kind}", sel + bytes([1, len(frame)]) + frame)
    write("lan", f"kind{kind}_split", sel + bytes([1, half]) + frame[:half] + bytes([1, len(frame) - half]) + frame[half:])
write("record", "status_kind", bytes([SELECTOR[-1]]) + STATUS)
write("record", "kind99", bytes([SELECTOR[99]]) + record(1))
write("serial", "status", bytes([SELECTOR[-1]]) + STATUS + STATUS_JAM)
write("lan", "status", bytes([SELECTOR[-1]]) + bytes([1, 13]) + STATUS + bytes([0, 13]) + STATUS_JAM)
write("lan", "read_in_progress", bytes([0]) + bytes([3, 27]) + record(0) + bytes([3, 25]) + record(1))

PARAMETER = b"{Z2;1,C0521021-0501B0A00110B1111111111111|}\r\n{Z2;2,-015+100-05+005-02+07-07-151530|}\r\n"
LAN = (b"{IP;2,192,168,010,020|}\r\n{IP;3,000,000,000,000|}\r\n{IP;4,255,255,255,000|}\r\n"
       b"{IS;1,08000|}\r\n{IH;1," + b"F" * 32 + b",printer01" + b"\xff" * 7 + b"|}\r\n")
# The reply framer: rule byte (0 serial, 1 LAN, 2 USB), kind selector, then
# pieces of a length byte and that many bytes.
def pieces(*chunks):
    return b"".join(bytes([len(c)]) + c for c in chunks)


for kind in range(5):
    sel = bytes([SELECTOR[kind]])
    frame = record(kind)
    half = len(frame) // 2
    write("framer", f"serial_kind{kind}", b"\x00" + sel + pieces(b"\x11" + frame[:half], frame[half:] + STATUS))
    write("framer", f"lan_kind{kind}_split", b"\x01" + sel + pieces(frame[:half], frame[half:]))
    write("framer", f"usb_kind{kind}", b"\x02" + sel + pieces(b"\x02\x00" + frame[:half], frame[half:] + b"X"))
write("framer", "lan_status_settled", b"\x01" + bytes([SELECTOR[-1]]) + pieces(STATUS_JAM[:5], b"\x80" + STATUS_JAM))
write("framer", "usb_other", b"\x02" + bytes([SELECTOR[-1]]) + pieces(b"\x07garbage"))

write("files", "parameter.dt1", PARAMETER)
write("files", "lan.dt2", LAN)
write("files", "lan_no_host.dt2", b"{IH;0," + b"0123456789ABCDEF" * 2 + b"|}\n{IP;5,001,002,003,004|}")
write("files", "parameter_lf_only.dt1", PARAMETER.replace(b"\r\n", b"\n"))

# dazavu's whole-file check and what it sends.
write("send", "parameter.dt1", PARAMETER)
write("send", "lan.dt2", LAN)
write("send", "parameter_lf_only.dt1", PARAMETER.replace(b"\r\n", b"\n"))
write("send", "frame_in_host.dt2", LAN.replace(b"printer01", b"p|}{Z4;0|"))

# Shown values: selector bytes, then field texts.
write("shown", "digits", b"\x40\x00" + b"0123456789" * 8)
write("shown", "letters", b"\x81\x01" + b"+-ABCDEF\xff\x1b" * 8)

# dazavu's command line (0), one target (1), a hosts file (2).
write("targets", "options", b"\x00" + b"\0".join([b"write", b"--lan", b"127.0.0.1:9000", b"--lan", b"[::1]:8000",
                                                    b"--timeout", b"0.5", b"--jobs", b"4", b"--json", b"--",
                                                    b"-x.dt1"]))
write("targets", "target_v6", b"\x01[fe80::1]:8000")
write("targets", "target_name", b"\x01printer-7.site.example:9100")
write("targets", "hosts", b"\x02# site\n127.0.0.1:8000 # first\n\nvm:9001\tON LINE\n[::1]\n")
write("exporter", "query", b"\x00target=%5Bfd00%3A%3A1%5D%3A8000&profile=site+a")
write("exporter", "query_bad", b"\x00target=%zz&target=1")
write("exporter", "target", b"\x01printer-7.site.example:9100")
write("exporter", "target_v6", b"\x01[fd00::1]:8001")
write("exporter", "code", b"\x0213Paper Error")
write("exporter", "code_odd", b"\x02\x00\\a\"b\nc\xff")


def spin(mode, lo, hi, step, value, limit, typed):
    return struct.pack("<BhhBhB", mode, lo, hi, step, value, limit) + typed.encode("utf-8")


write("spinedit", "tenths_in_range", spin(1, -500, 500, 5, 0, 0, "50"))
write("spinedit", "tenths_out_of_range", spin(1, -500, 500, 5, 0, 0, "50.1"))
write("spinedit", "tenths_half_even", spin(1, -500, 500, 5, 0, 0, "2.55"))
write("spinedit", "hundredths", spin(2, 0, 999, 1, 10, 0, "-0.05"))
write("spinedit", "hex_low", spin(3, 32, 255, 1, 176, 2, "1b"))
write("spinedit", "hex_ok", spin(3, 32, 255, 1, 176, 2, "ff"))
write("spinedit", "hex_letters", spin(3, 0, 255, 1, 10, 2, "G1"))
write("spinedit", "whole", spin(0, 0, 9999, 1, 8000, 5, " +0123 "))
write("spinedit", "german", spin(1 | 4, -500, 500, 5, 0, 0, "-12,5"))
write("spinedit", "letters", spin(0, -99, 99, 1, 3, 0, "abc"))
