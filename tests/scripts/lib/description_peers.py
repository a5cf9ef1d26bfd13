"""A profile's description as the peers read it: LittleCMS's ASCII part and
its translations (LittleCMS 2.14 skips the Unicode part of a v2 'desc' tag,
later versions keep it), and the Unicode part as ArgyllCMS's iccdump dumps it.

As a program: description_peers.py PROFILE DESCRIPTION ASCII prints a line per
check and exits 1 when one fails."""
import ctypes as C
import re
import struct
import subprocess
import sys

DESC = int.from_bytes(b"desc", "big")


def load_lcms():
    lcms = C.CDLL("liblcms2.so.2")
    lcms.cmsOpenProfileFromMem.restype = C.c_void_p
    lcms.cmsOpenProfileFromMem.argtypes = [C.c_char_p, C.c_uint32]
    lcms.cmsCloseProfile.argtypes = [C.c_void_p]
    lcms.cmsGetProfileInfoASCII.argtypes = [C.c_void_p, C.c_int, C.c_char_p, C.c_char_p,
                                            C.c_char_p, C.c_uint32]
    lcms.cmsReadTag.restype = C.c_void_p
    lcms.cmsReadTag.argtypes = [C.c_void_p, C.c_uint32]
    lcms.cmsMLUtranslationsCount.argtypes = [C.c_void_p]
    lcms.cmsMLUtranslationsCodes.argtypes = [C.c_void_p, C.c_uint32, C.c_char_p, C.c_char_p]
    lcms.cmsMLUgetWide.argtypes = [C.c_void_p, C.c_char_p, C.c_char_p, C.c_void_p, C.c_uint32]
    return lcms


def lcms_read(lcms, image):
    """(ASCII part for en-US, every translation as wide text)"""
    profile = lcms.cmsOpenProfileFromMem(image, len(image))
    if not profile:
        return None, []
    ascii_text = C.create_string_buffer(1024)
    lcms.cmsGetProfileInfoASCII(profile, 0, b"en", b"US", ascii_text, 1024)
    mlu = lcms.cmsReadTag(profile, DESC)
    texts = []
    for i in range(lcms.cmsMLUtranslationsCount(mlu) if mlu else 0):
        language, country = C.create_string_buffer(3), C.create_string_buffer(3)
        lcms.cmsMLUtranslationsCodes(mlu, i, language, country)
        wide = C.create_unicode_buffer(1024)
        lcms.cmsMLUgetWide(mlu, language.raw, country.raw, wide, C.sizeof(wide))
        texts.append(wide.value)
    lcms.cmsCloseProfile(profile)
    return ascii_text.value.decode("latin-1"), texts


def v2_desc_profile(ascii_text, unicode_text):
    """A profile of a header and one 'desc' tag with both parts."""
    units = unicode_text.encode("utf-16-be") + b"\0\0"
    tag = (b"desc" + bytes(4) + struct.pack(">I", len(ascii_text) + 1) + ascii_text + b"\0" +
           struct.pack(">II", 0, len(units) // 2) + units + bytes(70))
    tag += bytes(-len(tag) % 4)
    header = bytearray(128)
    struct.pack_into(">I4s4s4s4s", header, 0, 144 + len(tag), b"none", b"\x02\x10\0\0",
                     b"mntr", b"RGB ")
    header[20:24], header[36:40] = b"XYZ ", b"acsp"
    struct.pack_into(">iii", header, 68, 0xF6D6, 0x10000, 0xD32D)
    return bytes(header) + struct.pack(">I4sII", 1, b"desc", 144, len(tag)) + tag


def lcms_keeps_unicode(lcms):
    return "Unicode" in lcms_read(lcms, v2_desc_profile(b"ASCII", "Unicode"))[1]


def iccdump_unicode(path):
    """The Unicode part's text as iccdump -v3 dumps it, or None."""
    dump = subprocess.run(["iccdump", "-v3", "-t", "desc", path], capture_output=True,
                          text=True).stdout
    part = dump.split("Unicode Data", 1)
    if len(part) < 2:
        return None
    units = re.findall(r"\b[0-9a-f]{4}\b", part[1].split("ScriptCode", 1)[0].split(":", 1)[1])
    data = b"".join(bytes.fromhex(u) for u in units)
    return data.decode("utf-16-be").split("\0", 1)[0]


def check_description(lcms, check, name, path, description, ascii_text):
    image = open(path, "rb").read()
    read_ascii, translations = lcms_read(lcms, image)
    check(read_ascii == ascii_text, f"{name}: LittleCMS's ASCII description {read_ascii!r}")
    if lcms_keeps_unicode(lcms):
        check(description in translations, f"{name}: LittleCMS's texts {translations!r}")
    elif description != ascii_text:
        print(f"note {name}: this LittleCMS skips the Unicode part of v2 'desc' tags")
    dumped = iccdump_unicode(path)
    expected = description if description != ascii_text else None
    check(dumped == expected, f"{name}: iccdump's Unicode description {dumped!r}")


if __name__ == "__main__":
    failures = 0

    def check(ok, what):
        global failures
        print(("ok   " if ok else "FAIL ") + what)
        failures += 0 if ok else 1

    name = sys.argv[1].rsplit("/", 1)[-1]
    check_description(load_lcms(), check, name, sys.argv[1], sys.argv[2], sys.argv[3])
    sys.exit(1 if failures else 0)
