"""A profile's description as the peers read it: LittleCMS's ASCII part and
texts (2.14 skips the Unicode part of a v2 'desc', later versions keep it),
and the Unicode part as ArgyllCMS's iccdump dumps it.
As a program: description_peers.py PROFILE DESCRIPTION ASCII."""
import ctypes as C
import re
import struct
import subprocess
import sys

lcms = C.CDLL("liblcms2.so.2")
for name, result in (("cmsOpenProfileFromMem", C.c_void_p), ("cmsReadTag", C.c_void_p)):
    getattr(lcms, name).restype = result


def lcms_read(image):
    """(the en-US ASCII text, every text of the 'desc' tag)"""
    profile = C.c_void_p(lcms.cmsOpenProfileFromMem(image, len(image)))
    ascii_text, wide = C.create_string_buffer(1024), C.create_unicode_buffer(1024)
    lcms.cmsGetProfileInfoASCII(profile, 0, b"en", b"US", ascii_text, 1024)
    mlu, texts = C.c_void_p(lcms.cmsReadTag(profile, int.from_bytes(b"desc", "big"))), []
    for i in range(lcms.cmsMLUtranslationsCount(mlu) if mlu else 0):
        codes = [C.create_string_buffer(3), C.create_string_buffer(3)]
        lcms.cmsMLUtranslationsCodes(mlu, i, *codes)
        lcms.cmsMLUgetWide(mlu, codes[0].raw, codes[1].raw, wide, C.sizeof(wide))
        texts.append(wide.value)
    lcms.cmsCloseProfile(profile)
    return ascii_text.value.decode("latin-1"), texts


def keeps_unicode():
    """Whether this LittleCMS keeps a v2 'desc' tag's Unicode part."""
    tag = b"desc" + bytes(4) + struct.pack(">I", 2) + b"A\0" + struct.pack(">II", 0, 2) + b"\0U"
    tag += bytes(72)
    header = bytearray(128)
    struct.pack_into(">I4s4s4s4s4s", header, 0, 144 + len(tag), b"none", b"\2\x10\0\0", b"mntr",
                     b"RGB ", b"XYZ ")
    header[36:40] = b"acsp"
    return "U" in lcms_read(bytes(header) + struct.pack(">I4sII", 1, b"desc", 144, len(tag)) + tag)[1]


def iccdump_unicode(path):
    dump = subprocess.run(["iccdump", "-v3", "-t", "desc", path], capture_output=True, text=True)
    part = dump.stdout.partition("Unicode Data")[2].partition("ScriptCode")[0].partition(":")[2]
    data = bytes.fromhex("".join(re.findall(r"\b[0-9a-f]{4}\b", part)))
    return data.decode("utf-16-be").split("\0")[0] if part else None


def check_description(check, name, path, description, ascii_text):
    read_ascii, texts = lcms_read(open(path, "rb").read())
    check(read_ascii == ascii_text, f"{name}: LittleCMS's ASCII description {read_ascii!r}")
    if keeps_unicode():
        check(description in texts, f"{name}: LittleCMS's texts {texts!r}")
    elif description != ascii_text:
        print(f"note {name}: this LittleCMS skips the Unicode part of v2 'desc' tags")
    dumped = iccdump_unicode(path)
    expected = description if description != ascii_text else None
    check(dumped == expected, f"{name}: iccdump's Unicode description {dumped!r}")


if __name__ == "__main__":
    failed = []
    check_description(lambda ok, what: print(("ok   " if ok else "FAIL ") + what) or
                      failed.extend([] if ok else [what]), sys.argv[1].rsplit("/", 1)[-1],
                      *sys.argv[1:4])
    sys.exit(1 if failed else 0)
