#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/ (run from anywhere; committed output).

The picture seeds are made with Pillow (Debian: python3-pil); run with /usr/bin/python3 where another
Python comes first in PATH."""
import io
import json
import os
import struct
import zlib

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


def snapshot_json():
    t = "fuzz_snapshot_json"
    neo = {
        "format": "tavik-snapshot", "version": 1, "saved": "2026-12-09T01:02:03Z",
        "device": {"family": "neo", "serial": 12345, "serial_text": "141-202-380", "name": "Studio A",
                   "version": "1.12"},
        "settings": {"sample_rate_khz": 48, "sync": "adat", "lock": "off"},
        "smux": {"madi_44.1": 88.2, "madi_48": 48, "adat_44.1": 44.1, "adat_48": 96},
        "routing": {"32-48k": {"analog_in": "M1", "adat_in": "M2", "analog_out": "ADAT", "adat_out": "M4"},
                    "88-96k": {"analog_in": "M1", "adat_in": "off", "analog_out": "M2", "adat_out": "M2"},
                    "192k": {"analog_in": "off", "adat_in": "M1", "analog_out": "M1", "adat_out": "analog"}},
        "faders_db": {"input": [0, 0, 0, 1.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -4, 10],
                      "output": [0, 0, 0, 0, 0, 0, 0, 0, -2.5, -2.5, 0, 0, 0, 0, -10, 4]},
    }
    lux = json.loads(json.dumps(neo))
    lux["device"].update({"family": "lux", "serial": 2, "serial_text": "", "name": "", "version": "0.0"})
    del lux["routing"]
    del lux["smux"]["madi_44.1"], lux["smux"]["madi_48"]
    lux["settings"].update({"sample_rate_khz": 44.1, "sync": "bnc", "lock": "on"})
    write(t, "neo", json.dumps(neo, indent=4).encode())
    write(t, "neo_compact", json.dumps(neo, separators=(",", ":")).encode())
    write(t, "lux", json.dumps(lux, indent=4).encode())
    variants = {
        "time_no_offset": ("saved", "2026-12-09T01:02:03"),
        "time_offset": ("saved", "2026-12-09T01:02:03+05:30"),
        "time_milliseconds": ("saved", "2026-12-09T01:02:03.250Z"),
        "time_far": ("saved", "9999-12-31T23:59:59-14:00"),
        "time_bad": ("saved", "yesterday"),
        "format_other": ("format", "other"),
        "version_2": ("version", 2),
        "unknown_field": ("extra", [1, {"a": None}]),
    }
    for name, (key, value) in variants.items():
        variant = json.loads(json.dumps(neo))
        variant[key] = value
        write(t, name, json.dumps(variant).encode())
    bad = json.loads(json.dumps(lux))
    bad["settings"].update({"sample_rate_khz": 192, "sync": "MADI"})
    bad["smux"]["madi_48"] = 48
    bad["routing"] = {}
    bad["faders_db"]["input"][3] = 1.25
    bad["faders_db"]["output"] = [12] * 15
    bad["device"].update({"serial": 1.5, "name": "\u00e9\u0000" * 9, "version": "256.1"})
    write(t, "lux_every_problem", json.dumps(bad).encode())
    write(t, "not_json", b"{\"format\": \"tavik-snapshot\", ")
    write(t, "array", b"[1, 2.5e308, -0, \"\\ud800\", true, null]")
    write(t, "utf16_bom", "\ufeff{}".encode("utf-16"))


def snapshot_syx():
    t = "fuzz_snapshot_syx"

    def messages(family, serial, values):
        out = [frame(family, serial, 0x01, bytes([0x00, values["rate"], values["sync"]])),
               frame(family, serial, 0x01, bytes([0x02, values["lock"]])),
               frame(family, serial, 0x01, bytes([0x10]) + bytes(values["smux"]))]
        if family == 1:
            out.append(frame(family, serial, 0x01, bytes([0x20]) + bytes(values["routing"])))
        out.append(frame(family, serial, 0x02, bytes([0x20]) + bytes(values["faders"])))
        return out

    neo = messages(1, 12345, {"rate": 3, "sync": 2, "lock": 0, "smux": [1, 0, 0, 1],
                              "routing": [0, 0, 1, 1, 2, 0, 4, 1, 0, 3, 1, 1], "faders": [i % 29 for i in range(32)]})
    lux = messages(5, 268435455, {"rate": 2, "sync": 3, "lock": 1, "smux": [0, 0, 1, 1],
                                  "routing": [], "faders": [28] * 16 + [0] * 16})
    write(t, "neo", b"".join(neo))
    write(t, "lux", b"".join(lux))
    write(t, "neo_reordered", b"".join(reversed(neo)))
    write(t, "neo_group_twice", b"".join(neo + neo[:1]))
    write(t, "neo_group_missing", b"".join(neo[1:]))
    write(t, "lux_with_routing", b"".join(lux[:3] + neo[3:4] + lux[3:]))
    write(t, "mixed_devices", b"".join(neo[:2] + messages(1, 54321, {"rate": 3, "sync": 0, "lock": 0, "smux": [0] * 4,
                                                                       "routing": [0] * 12, "faders": [0] * 32})[2:]))
    write(t, "values_out_of_range", b"".join([frame(5, 2, 0x01, bytes([0x00, 6, 1])), frame(5, 2, 0x01, bytes([0x10, 1, 2, 3, 2]))]))
    write(t, "wrong_end", neo[0][:-2] + b"\xF7")
    write(t, "no_end", neo[0][:-1])
    write(t, "status_byte_inside", neo[0][:-2] + b"\x90\x00\xF7")
    write(t, "other_command", frame(1, 12345, 0x40, bytes(10)))
    write(t, "garbage_after", b"".join(neo) + b"\x00")


# The first byte of a picture seed picks the file's suffix in fuzz_logo_picture.cpp.
PICTURE_SUFFIXES = ["", ".png", ".bmp", ".jpg", ".jpeg", ".gif", ".ico", ".cur",
                    ".ppm", ".pgm", ".pbm", ".xbm", ".xpm", ".txt", ".JPG", ".Png"]


def picture_seed(name, suffix, data):
    write("fuzz_logo_picture", name, bytes([PICTURE_SUFFIXES.index(suffix)]) + data)


def logo_picture():
    from PIL import Image, ImageDraw

    def drawing(mode, size):
        image = Image.new("RGB", size, (0, 0, 0))
        draw = ImageDraw.Draw(image)
        w, h = size
        draw.rectangle([w // 4, h // 4, 3 * w // 4, 3 * h // 4], fill=(250, 200, 30))
        draw.line([0, 0, w - 1, h - 1], fill=(20, 120, 255))
        return image.convert(mode)

    def saved(image, fmt, **options):
        out = io.BytesIO()
        image.save(out, fmt, **options)
        return out.getvalue()

    wide = drawing("RGB", (40, 12))
    tall = drawing("RGB", (9, 30))
    picture_seed("png_rgb", ".png", saved(wide, "PNG"))
    picture_seed("png_rgba", ".png", saved(drawing("RGBA", (20, 16)), "PNG"))
    picture_seed("png_palette", ".png", saved(wide.convert("P"), "PNG"))
    picture_seed("png_grey_interlaced", ".png", saved(tall.convert("L"), "PNG", interlace=1))
    picture_seed("png_1bit", "", saved(tall.convert("1"), "PNG"))
    picture_seed("png_16bit", ".Png", saved(drawing("L", (12, 12)).convert("I").point(lambda v: v * 257).convert("I;16"), "PNG"))
    picture_seed("jpeg_baseline", ".jpg", saved(wide, "JPEG", quality=50))
    picture_seed("jpeg_progressive", ".jpeg", saved(tall, "JPEG", progressive=True, quality=30))
    picture_seed("jpeg_grey", ".JPG", saved(wide.convert("L"), "JPEG"))
    picture_seed("jpeg_cmyk", ".jpg", saved(drawing("CMYK", (16, 16)), "JPEG"))
    picture_seed("jpeg_444_restart", "", saved(wide, "JPEG", subsampling=0, restart_marker_blocks=1))
    picture_seed("gif", ".gif", saved(wide.convert("P"), "GIF"))
    picture_seed("gif_interlaced_transparent", ".gif", saved(tall.convert("P"), "GIF", interlace=True, transparency=0))
    frames = [drawing("RGB", (10, 10)).convert("P"), drawing("RGB", (10, 10)).rotate(90).convert("P")]
    picture_seed("gif_two_frames", ".jpg", saved(frames[0], "GIF", save_all=True, append_images=frames[1:], duration=100))
    picture_seed("bmp_24", ".bmp", saved(wide, "BMP"))
    picture_seed("bmp_32", ".bmp", saved(drawing("RGBA", (7, 5)), "BMP"))
    picture_seed("bmp_8", ".bmp", saved(tall.convert("P"), "BMP"))
    picture_seed("bmp_1", ".txt", saved(tall.convert("1"), "BMP"))
    picture_seed("ico", ".ico", saved(drawing("RGBA", (16, 16)), "ICO", sizes=[(16, 16)]))
    picture_seed("ppm", ".ppm", saved(drawing("RGB", (6, 4)), "PPM"))
    picture_seed("pgm", ".pgm", saved(drawing("L", (6, 4)), "PPM"))
    picture_seed("pbm", ".pbm", saved(drawing("1", (9, 4)), "PPM"))
    picture_seed("ppm_ascii", ".ppm", b"P3\n2 2\n255\n255 0 0  0 255 0\n0 0 255  255 255 255\n")
    picture_seed("xbm", ".xbm", saved(drawing("1", (10, 6)), "XBM"))
    picture_seed("xpm", ".xpm", b'/* XPM */\nstatic char *p[] = {\n"4 2 2 1",\n"a c #FF0000",\n"b c None",\n'
                 b'"abab",\n"baba"};\n')

    # Hand-made: an 8-bit run-length BMP, and files that announce pictures far beyond the limits.
    rle8 = bytes([4, 1, 0, 0, 2, 2, 0, 1])  # runs, end of line, end of picture
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0])
    header = struct.pack("<IiiHHIIiiII", 40, 6, 2, 1, 8, 1, len(rle8), 2835, 2835, 3, 0)
    offset = 14 + len(header) + len(palette)
    picture_seed("bmp_rle8", ".bmp", b"BM" + struct.pack("<IHHI", offset + len(rle8), 0, 0, offset) + header + palette + rle8)
    huge_bmp = b"BM" + struct.pack("<IHHI", 54, 0, 0, 54) + struct.pack("<IiiHHIIiiII", 40, 30000, -30000, 1, 24, 0, 0, 0, 0, 0, 0)
    picture_seed("bmp_huge", ".bmp", huge_bmp)
    png = saved(drawing("RGB", (3, 2)), "PNG")
    ihdr = b"IHDR" + struct.pack(">II", 65535, 65535) + png[24:29]
    picture_seed("png_huge", ".png", png[:12] + ihdr + struct.pack(">I", zlib.crc32(ihdr)) + png[33:])
    jpeg = saved(drawing("RGB", (8, 8)), "JPEG")
    sof = jpeg.index(b"\xff\xc0")
    # 65500 x 65500 is refused; 16384 x 16384 is the largest taken, decoded at an eighth of each side.
    picture_seed("jpeg_huge", ".jpg", jpeg[:sof + 5] + struct.pack(">HH", 65500, 65500) + jpeg[sof + 9:])
    picture_seed("jpeg_16384", ".jpg", jpeg[:sof + 5] + struct.pack(">HH", 16384, 16384) + jpeg[sof + 9:])
    # Progressive: the decoder would hold every coefficient of the frame (800 MB) unless limited.
    jpeg = saved(drawing("RGB", (8, 8)), "JPEG", progressive=True)
    sof = jpeg.index(b"\xff\xc2")
    picture_seed("jpeg_progressive_huge", ".jpg", jpeg[:sof + 5] + struct.pack(">HH", 16384, 16384) + jpeg[sof + 9:])
    gif = saved(drawing("RGB", (2, 2)).convert("P"), "GIF")
    picture_seed("gif_huge", ".gif", gif[:6] + struct.pack("<HH", 65535, 65535) + gif[10:])


if __name__ == "__main__":
    sim_device()
    parse_msg()
    parse_reply()
    rle()
    stored_ports()
    snapshot_json()
    snapshot_syx()
    logo_picture()
