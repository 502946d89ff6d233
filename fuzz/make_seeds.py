#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/ (run from anywhere; committed output)."""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def serial_bytes(serial):
    return bytes([(serial >> s) & 0x7F for s in (0, 7, 14, 21)])


def frame(family, serial, command, payload=b""):
    return bytes([0xF0, 0x00, 0x11, 0x22, family]) + serial_bytes(serial) + bytes([command]) + payload + b"\xF7"


def name16(text):
    raw = text.encode("latin-1")[:16]
    return raw + b"\x7F" * (16 - len(raw))


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def parse_msg():
    t = "fuzz_parse_msg"
    write(t, "version_new_neo", frame(1, 777, 0x20, b"\x01\x07" + name16("Fuzzed")))
    write(t, "version_new_lux", frame(5, 4242, 0x20, b"\x02\x03" + name16("Lux")))
    write(t, "version_known", frame(1, 12345, 0x20, b"\x01\x07" + name16("Studio")))
    write(t, "config_neo", frame(1, 12345, 0x40, bytes([0x23, 0x11, 0x21, 0x03, 0x10, 0x32, 0x54, 0x06, 0x21, 0x43])))
    write(t, "config_lux", frame(5, 1234, 0x40, bytes([0x17, 0x01, 0x33, 0x02, 0x7F, 0x7F, 0x00, 0x00, 0x11, 0x22])))
    write(t, "status", frame(1, 12345, 0x41, bytes([0x21, 0x43, 0x35, 0x7F])))
    write(t, "faders", frame(1, 268435455, 0x42, bytes(range(0, 32))))
    write(t, "faders_out_of_range", frame(5, 1234, 0x42, bytes([0x7F] * 32)))
    write(t, "ack_faders", frame(1, 12345, 0x22))
    acks = b"".join(frame(1, 12345, c) for c in (0x21, 0x23, 0x24, 0x25, 0x43, 0x03))
    write(t, "acks_and_unknown", acks)
    write(t, "truncated", bytes([0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF7]))
    write(t, "active_sensing", b"\xFE")
    write(t, "wrong_family", frame(3, 12345, 0x41, bytes([0, 0, 3, 0])))
    write(t, "no_end", frame(1, 12345, 0x41, bytes([0, 0, 3, 0]))[:-1])
    write(t, "oversized", frame(1, 12345, 0x40, bytes([0x11] * 3000)))
    mixed = frame(1, 555, 0x20, b"\x01\x01" + name16("A")) + frame(1, 555, 0x42, bytes([5] * 32)) + \
        frame(1, 555, 0x22) + frame(1, 555, 0x40, bytes(10)) + frame(1, 0, 0x20, b"\x00\x00" + name16(""))
    write(t, "new_device_then_reports", mixed)


def parse_reply():
    t = "fuzz_parse_reply"
    write(t, "reply", frame(1, 12345, 0x20, b"\x01\x07" + name16("Studio")))
    write(t, "reply_full_name", frame(1, 1, 0x20, b"\x01\x07" + b"ABCDEFGHIJKLMNOP"))
    write(t, "reply_short", frame(1, 2, 0x20, b"\x01\x07AB"))
    write(t, "reply_lux", frame(5, 1234, 0x20, b"\x01\x07" + name16("Lux")))
    write(t, "ack", frame(1, 12345, 0x23))
    write(t, "reply_then_acks", frame(1, 9, 0x20, b"\x01\x07" + name16("N")) + frame(1, 9, 0x23) * 70)
    write(t, "report_43", frame(1, 12345, 0x43, b"\x00"))
    write(t, "bad_serial", bytes([0xF0, 0x00, 0x11, 0x22, 0x01, 0x80, 0, 0, 0, 0x20, 0xF7]))
    write(t, "header_only", bytes([0xF0, 0x00, 0x11, 0x22, 0x01]))


def rle():
    t = "fuzz_rle"
    write(t, "raw_literals", b"\x00" + bytes(range(256)))
    write(t, "raw_equal", b"\x00" + b"\x34\x12" * 300)
    write(t, "runs", b"\x01" + b"\xff\xf9\xcf" * 10 + b"\x02\x00\x00\x80\x01\x00")
    write(t, "run_129_then_other", b"\x01" + bytes([128, 0x11, 0x11, 0, 0x22, 0x22]))
    stream = bytes([0x7F, 0xF9, 0xCF]) * 3 + bytes([0x83, 1, 0, 2, 0, 3, 0])
    write(t, "decode_stream", b"\x02" + stream)
    block = bytearray(b"\xff" * 64)
    block[0:24] = bytes(24)
    block[4:10] = b"Studio"
    block[20:24] = struct.pack("<HH", 220, 176)
    write(t, "decode_block_header", b"\x02" + bytes(block))
    write(t, "decode_bad_header", b"\x02" + bytes([0x00, 0x80, 0x85, 0x01]))


def stored_ports():
    t = "fuzz_stored_ports"
    for i, text in enumerate([b"0", b"2", b"-1", b"-5", b"2147483647", b"2147483648", b"99999999999999999999",
                              b"abc", b" 3 ", b"+4", b"0x10", b"", b"\xff\xfe", b"1e3", b"\xd9\xa3"]):
        write(t, "string_%02d" % i, bytes([0]) + text)
        write(t, "latin1_%02d" % i, bytes([1]) + text)
    write(t, "bytes", bytes([2]) + b"12")
    write(t, "int_huge", bytes([3]) + struct.pack("<q", 2 ** 40))
    write(t, "int_negative", bytes([3]) + struct.pack("<q", -7))
    write(t, "double_nan", bytes([4]) + struct.pack("<d", float("nan")))
    write(t, "double_big", bytes([4]) + struct.pack("<d", 1e300))
    write(t, "list", bytes([5]) + b"1,2")
    write(t, "invalid", bytes([6]))


def sim_device():
    t = "fuzz_sim_device"
    write(t, "send_version", frame(1, 0, 0x00))
    write(t, "send_info", frame(1, 12345, 0x05))
    write(t, "set_values_0", frame(1, 12345, 0x01, bytes([0x00, 3, 1])))
    write(t, "set_values_2", frame(1, 12345, 0x01, bytes([0x02, 1])))
    write(t, "set_values_16", frame(1, 12345, 0x01, bytes([0x10, 1, 2, 3, 0])))
    write(t, "set_values_32", frame(1, 12345, 0x01, bytes([0x20] + list(range(12)))))
    write(t, "set_faders", frame(1, 12345, 0x02, bytes([0x20] + [i % 29 for i in range(32)])))
    chunk0 = frame(1, 12345, 0x03, bytes([0]) + bytes([0x7F, 0x7F, 0x7F, 0x7F, 0x0F]) * 128)
    write(t, "picture_chunk_0", chunk0)
    write(t, "picture_chunk_63", frame(1, 12345, 0x03, bytes([63]) + bytes([0x7F, 0x7F, 0x7F, 0x7F, 0x0F]) * 128))
    write(t, "wrong_serial", frame(1, 54321, 0x05))
    write(t, "truncated", bytes([0xF0, 0x00, 0x11, 0x22, 0x01, 0x39, 0x60, 0xF7]))


if __name__ == "__main__":
    sim_device()
    parse_msg()
    parse_reply()
    rle()
    stored_ports()
