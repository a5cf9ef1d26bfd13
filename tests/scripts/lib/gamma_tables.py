#!/usr/bin/env python3
"""Gamma tables read without the tool: a profile's 'vcgt' parsed from the file,
an X output's CRTC table through libXrandr, the screen's XF86VidMode table
through libXxf86vm; and the comparisons the loader checks make of them.

  gamma_tables.py read vcgt:FILE | crtc:OUTPUT | vidmode | show:FILE[:NAME]
      (show's JSON, or its text form for one output)
      prints {"size":N,"red":[...],"green":[...],"blue":[...]}
  gamma_tables.py expect TABLE vcgt:FILE | identity | same:TABLE [TOLERANCE]
      exit 0 when the table (a file printed by read) holds what is expected
  gamma_tables.py break-vcgt IN OUT   a copy whose 'vcgt' table has 2 channels
"""
import ctypes
import json
import struct
import sys


def vcgt_offset(data):
    count = struct.unpack(">I", data[128:132])[0]
    for i in range(count):
        sig, offset, size = struct.unpack(">4sII", data[132 + 12 * i:144 + 12 * i])
        if sig == b"vcgt":
            return offset
    raise SystemExit("no vcgt tag")


def read_vcgt(path):
    data = open(path, "rb").read()
    offset = vcgt_offset(data)
    gamma_type, channels, entries = struct.unpack(">IHH", data[offset + 8:offset + 16])
    assert gamma_type == 0 and channels == 3 and entries == 256, "not a 3 x 256 table"
    values = struct.unpack(">768H", data[offset + 18:offset + 18 + 1536])
    return {"size": 256, "red": list(values[:256]), "green": list(values[256:512]),
            "blue": list(values[512:])}


def open_display():
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        raise SystemExit("cannot open the X display")
    return x11, display


class ScreenResources(ctypes.Structure):
    _fields_ = [("timestamp", ctypes.c_ulong), ("configTimestamp", ctypes.c_ulong),
                ("ncrtc", ctypes.c_int), ("crtcs", ctypes.POINTER(ctypes.c_ulong)),
                ("noutput", ctypes.c_int), ("outputs", ctypes.POINTER(ctypes.c_ulong)),
                ("nmode", ctypes.c_int), ("modes", ctypes.c_void_p)]


class OutputInfo(ctypes.Structure):
    _fields_ = [("timestamp", ctypes.c_ulong), ("crtc", ctypes.c_ulong),
                ("name", ctypes.c_char_p), ("nameLen", ctypes.c_int),
                ("mm_width", ctypes.c_ulong), ("mm_height", ctypes.c_ulong),
                ("connection", ctypes.c_ushort), ("subpixel_order", ctypes.c_ushort)]


class CrtcGamma(ctypes.Structure):
    _fields_ = [("size", ctypes.c_int), ("red", ctypes.POINTER(ctypes.c_ushort)),
                ("green", ctypes.POINTER(ctypes.c_ushort)),
                ("blue", ctypes.POINTER(ctypes.c_ushort))]


def read_crtc(name):
    x11, display = open_display()
    xrr = ctypes.CDLL("libXrandr.so.2")
    xrr.XRRGetScreenResourcesCurrent.restype = ctypes.POINTER(ScreenResources)
    xrr.XRRGetScreenResourcesCurrent.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xrr.XRRGetOutputInfo.restype = ctypes.POINTER(OutputInfo)
    xrr.XRRGetOutputInfo.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_ulong]
    xrr.XRRGetCrtcGamma.restype = ctypes.POINTER(CrtcGamma)
    xrr.XRRGetCrtcGamma.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    resources = xrr.XRRGetScreenResourcesCurrent(display, x11.XDefaultRootWindow(display))
    table = None
    for i in range(resources.contents.noutput):
        info = xrr.XRRGetOutputInfo(display, resources, resources.contents.outputs[i])
        if info.contents.name.decode() == name and info.contents.crtc:
            gamma = xrr.XRRGetCrtcGamma(display, info.contents.crtc).contents
            n = gamma.size
            table = {"size": n, "red": gamma.red[:n], "green": gamma.green[:n],
                     "blue": gamma.blue[:n]}
        xrr.XRRFreeOutputInfo(info)
    xrr.XRRFreeScreenResources(resources)
    x11.XCloseDisplay(display)
    if table is None:
        raise SystemExit(f"no output {name} with a CRTC")
    return table


def read_vidmode():
    x11, display = open_display()
    vm = ctypes.CDLL("libXxf86vm.so.1")
    size = ctypes.c_int()
    if not vm.XF86VidModeGetGammaRampSize(ctypes.c_void_p(display), 0, ctypes.byref(size)):
        raise SystemExit("no XF86VidMode gamma ramp")
    n = size.value
    runs = [(ctypes.c_ushort * n)() for _ in range(3)]
    vm.XF86VidModeGetGammaRamp(ctypes.c_void_p(display), 0, n, *runs)
    x11.XCloseDisplay(ctypes.c_void_p(display))
    return {"size": n, "red": runs[0][:], "green": runs[1][:], "blue": runs[2][:]}


def read_show_text(path):
    """The rows under the header of show's text form: inputs 0 to 255 exactly."""
    lines = open(path).read().split("input    red  green   blue\n", 1)[1].splitlines()
    rows = [list(map(int, line.split())) for line in lines]
    assert [row[0] for row in rows] == list(range(256)), "not the inputs 0 to 255"
    return {"size": 256, **{c: [row[1 + i] for row in rows]
                            for i, c in enumerate(("red", "green", "blue"))}}


def read_show(source):
    path, _, name = source.partition(":")
    if not open(path).read(1) == "{":
        return read_show_text(path)
    outputs = json.load(open(path))["outputs"]
    output = next(o for o in outputs if not name or o["name"] == name)
    return {"size": 256, "red": output["red"], "green": output["green"], "blue": output["blue"]}


def resample(run, size):
    """256 entries at size points, linearly; the loader's job, done independently."""
    out = []
    for j in range(size):
        x = j * 255 / (size - 1) if size > 1 else 0
        i = min(int(x), 254)
        f = x - i
        out.append(round(run[i] + (run[i + 1] - run[i]) * f))
    return out


def expected(want, size):
    if want == "identity":
        return {c: [round(j * 65535 / (size - 1)) for j in range(size)]
                for c in ("red", "green", "blue")}
    kind, _, path = want.partition(":")
    table = read_vcgt(path) if kind == "vcgt" else json.load(open(path))
    if kind == "same":
        return table
    return {c: resample(table[c], size) for c in ("red", "green", "blue")}


def main():
    command = sys.argv[1]
    if command == "read":
        kind, _, arg = sys.argv[2].partition(":")
        readers = {"vcgt": read_vcgt, "crtc": read_crtc, "show": read_show,
                   "vidmode": lambda _: read_vidmode()}
        print(json.dumps(readers[kind](arg)))
    elif command == "expect":
        table = json.load(open(sys.argv[2]))
        want = expected(sys.argv[3], table["size"])
        tolerance = int(sys.argv[4]) if len(sys.argv) > 4 else 1
        worst = max(abs(a - b) for c in ("red", "green", "blue")
                    for a, b in zip(table[c], want[c], strict=True))
        print(f"largest difference {worst} (tolerance {tolerance})")
        sys.exit(0 if worst <= tolerance else 1)
    elif command == "break-vcgt":
        data = bytearray(open(sys.argv[2], "rb").read())
        offset = vcgt_offset(data)
        data[offset + 12:offset + 14] = struct.pack(">H", 2)
        open(sys.argv[3], "wb").write(data)


if __name__ == "__main__":
    main()
