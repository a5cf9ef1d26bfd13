#!/usr/bin/env python3
"""A copy of a profile whose 'vcgt' holds another form that colour tools write,
its curves x^0.8, x^1.0 and x^1.25 for red, green and blue:

  vcgt_forms.py FORM IN OUT
    8bit     a table of 3 x 256 entries of 1 byte
    8bit-padded  the same, in a tag padded with zeros to 2048 bytes
    1024     a table of 3 x 1024 entries of 2 bytes
    mono     a table of 1 channel of 512 entries of 2 bytes, for all three
    formula  gamma, minimum and maximum per channel (minimum 0.05, maximum 0.9)
    old      3 x 256 entries of 2 bytes in 1584 bytes, as Tonalis wrote them
             before the entry size field said 2: it says 1
    no-channels, overlong   malformed: a table of 0 channels, and 1024 entries
                            in the room of 256

  vcgt_forms.py lcms PROFILE TABLE
    prints the 'vcgt' as LittleCMS reads it, sampled at the size of TABLE (a
    file printed by gamma_tables.py read), in the same form
"""
import ctypes
import json
import struct
import sys

GAMMAS = (0.8, 1.0, 1.25)


def table(channels, entries, size):
    scale = 255 if size == 1 else 65535
    values = [round(scale * (i / (entries - 1)) ** GAMMAS[c])
              for c in range(channels) for i in range(entries)]
    body = struct.pack(f">{len(values)}{'B' if size == 1 else 'H'}", *values)
    return struct.pack(">4s4xIHHH", b"vcgt", 0, channels, entries, size) + body


def formula():
    fixed = [round(v * 65536) for g in GAMMAS for v in (g, 0.05, 0.9)]
    return struct.pack(">4s4xI9i", b"vcgt", 1, *fixed)


FORMS = {
    "8bit": lambda: table(3, 256, 1),
    "8bit-padded": lambda: table(3, 256, 1) + bytes(2048 - 18 - 768),
    "1024": lambda: table(3, 1024, 2),
    "mono": lambda: table(1, 512, 2),
    "formula": formula,
    "old": lambda: table(3, 256, 2)[:16] + b"\0\1" + table(3, 256, 2)[18:] + bytes(30),
    "no-channels": lambda: table(3, 256, 2)[:12] + b"\0\0" + table(3, 256, 2)[14:],
    "overlong": lambda: table(3, 256, 2)[:14] + struct.pack(">H", 1024) + table(3, 256, 2)[16:],
}


def lcms_table(path, size):
    lcms = ctypes.CDLL("liblcms2.so.2")
    lcms.cmsOpenProfileFromFile.restype = ctypes.c_void_p
    lcms.cmsReadTag.restype = ctypes.c_void_p
    lcms.cmsReadTag.argtypes = [ctypes.c_void_p, ctypes.c_uint32]
    lcms.cmsEvalToneCurveFloat.restype = ctypes.c_float
    lcms.cmsEvalToneCurveFloat.argtypes = [ctypes.c_void_p, ctypes.c_float]
    profile = lcms.cmsOpenProfileFromFile(path.encode(), b"r")
    tag = lcms.cmsReadTag(ctypes.c_void_p(profile), int.from_bytes(b"vcgt", "big"))
    if not tag:
        raise SystemExit(f"LittleCMS reads no vcgt in {path}")
    curves = ctypes.cast(tag, ctypes.POINTER(ctypes.c_void_p * 3)).contents
    table = {"size": size}
    for name, curve in zip(("red", "green", "blue"), curves):
        table[name] = [round(65535 * min(1.0, max(0.0, lcms.cmsEvalToneCurveFloat(
            curve, j / (size - 1))))) for j in range(size)]
    return table


def main():
    if sys.argv[1] == "lcms":
        print(json.dumps(lcms_table(sys.argv[2], json.load(open(sys.argv[3]))["size"])))
        return
    form, source, target = sys.argv[1:4]
    data = bytearray(open(source, "rb").read())
    tag = FORMS[form]()
    count = struct.unpack(">I", data[128:132])[0]
    entries = [132 + 12 * i for i in range(count)]
    vcgt = next(e for e in entries if data[e:e + 4] == b"vcgt")
    # The new tag goes at the end, 4-byte aligned; the old bytes stay unused.
    data += b"\0" * (-len(data) % 4)
    data[vcgt + 4:vcgt + 12] = struct.pack(">II", len(data), len(tag))
    data += tag
    data[0:4] = struct.pack(">I", len(data))
    open(target, "wb").write(data)


if __name__ == "__main__":
    main()
