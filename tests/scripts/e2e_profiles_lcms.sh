#!/usr/bin/env bash
# Reads the profiles that the end-to-end scenarios saved through the applet
# with LittleCMS on the host, and checks each against what its scenario set:
# description (the ASCII part, and the typed text in the Unicode part as
# LittleCMS, where it keeps that part, and ArgyllCMS's iccdump read it), tone
# curves, primaries (taken back from their D50 adaptation with LittleCMS's
# own Bradford), media white point, and the 'vcgt' table against the
# display's ramp (or its absence).
# Usage: e2e_profiles_lcms.sh BUILD_DIR RESULTS_DIR
set -uo pipefail

build=$1
results=$2
kept="$results/e2e-profiles"

if ! compgen -G "$kept/*.expect" >/dev/null; then
    if [[ -f "$build/mingw/e2e_tests.exe" ]]; then
        echo "e2e_profiles_lcms: no saved profiles in $kept (the scenarios did not finish)"
        exit 1
    fi
    echo "e2e_profiles_lcms: no MinGW build, nothing to check"
    exit 0
fi

python3 - "$kept" "$(dirname "${BASH_SOURCE[0]}")/lib" <<'PY'
import ctypes as C
import glob
import os
import sys

sys.path.insert(0, sys.argv[2])
from description_peers import check_description

lcms = C.CDLL("liblcms2.so.2")


class XYZ(C.Structure):
    _fields_ = [("X", C.c_double), ("Y", C.c_double), ("Z", C.c_double)]


class XyY(C.Structure):
    _fields_ = [("x", C.c_double), ("y", C.c_double), ("Y", C.c_double)]


lcms.cmsOpenProfileFromFile.restype = C.c_void_p
lcms.cmsOpenProfileFromFile.argtypes = [C.c_char_p, C.c_char_p]
lcms.cmsCloseProfile.argtypes = [C.c_void_p]
lcms.cmsReadTag.restype = C.c_void_p
lcms.cmsReadTag.argtypes = [C.c_void_p, C.c_uint32]
lcms.cmsEstimateGamma.restype = C.c_double
lcms.cmsEstimateGamma.argtypes = [C.c_void_p, C.c_double]
lcms.cmsEvalToneCurve16.restype = C.c_uint16
lcms.cmsEvalToneCurve16.argtypes = [C.c_void_p, C.c_uint16]
lcms.cmsD50_XYZ.restype = C.POINTER(XYZ)
lcms.cmsAdaptToIlluminant.argtypes = [C.POINTER(XYZ)] * 4
lcms.cmsXYZ2xyY.argtypes = [C.POINTER(XyY), C.POINTER(XYZ)]


def sig(text):
    return int.from_bytes(text.encode(), "big")


def xy(xyz):
    out = XyY()
    lcms.cmsXYZ2xyY(C.byref(out), C.byref(xyz))
    return out.x, out.y


failures = 0


def check(ok, what):
    global failures
    print(("ok   " if ok else "FAIL ") + what)
    failures += 0 if ok else 1


for expect_path in sorted(glob.glob(os.path.join(sys.argv[1], "*.expect"))):
    name = os.path.basename(expect_path)[:-7]
    expected = {}
    for line in open(expect_path, encoding="utf-8"):
        key, _, rest = line.rstrip("\r\n").partition(" ")
        expected[key] = rest
    profile = lcms.cmsOpenProfileFromFile(expect_path[:-7].encode() + b".icc", b"r")
    check(bool(profile), f"{name}: LittleCMS opens the profile")
    if not profile:
        continue

    check_description(check, name, expect_path[:-7] + ".icc",
                      expected["description"], expected["ascii"])

    gamma = float(expected["gamma"])
    for channel in ("rTRC", "gTRC", "bTRC"):
        curve = lcms.cmsReadTag(profile, sig(channel))
        estimated = lcms.cmsEstimateGamma(curve, 0.001) if curve else -1
        check(abs(estimated - gamma) < 0.005, f"{name}: {channel} gamma {estimated:.4f}")

    white = C.cast(lcms.cmsReadTag(profile, sig("wtpt")), C.POINTER(XYZ)).contents
    want = [float(v) for v in expected["white"].split()]
    got = xy(white)
    check(abs(got[0] - want[0]) < 0.0005 and abs(got[1] - want[1]) < 0.0005,
          f"{name}: media white {got[0]:.4f} {got[1]:.4f}")

    primaries = [float(v) for v in expected["primaries"].split()]
    for i, channel in enumerate(("rXYZ", "gXYZ", "bXYZ")):
        adapted = C.cast(lcms.cmsReadTag(profile, sig(channel)), C.POINTER(XYZ)).contents
        native = XYZ()
        lcms.cmsAdaptToIlluminant(C.byref(native), lcms.cmsD50_XYZ(), C.byref(white),
                                  C.byref(adapted))
        got = xy(native)
        check(abs(got[0] - primaries[2 * i]) < 0.002 and abs(got[1] - primaries[2 * i + 1]) < 0.002,
              f"{name}: {channel} chromaticity {got[0]:.4f} {got[1]:.4f}")

    table = lcms.cmsReadTag(profile, sig("vcgt"))
    ramp = [int(v) for v in expected["vcgt"].split()]
    if not ramp:
        check(not table, f"{name}: no vcgt without a settable ramp")
    elif not table:
        check(False, f"{name}: vcgt present")
    else:
        curves = C.cast(table, C.POINTER(C.c_void_p * 3)).contents
        worst = max(abs(lcms.cmsEvalToneCurve16(curves[i // 256], (i % 256) * 257) - ramp[i])
                    for i in range(768))
        check(worst <= 512, f"{name}: vcgt within {worst} of the display's ramp")
    lcms.cmsCloseProfile(profile)

sys.exit(1 if failures else 0)
PY
