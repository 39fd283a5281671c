"""Compares an X screenshot with the picture the emulator presented.

usage: picture_compare.py REF.rgb REF_W REF_H SHOT.rgb SHOT_W SHOT_H
                          RX RY RW RH PX PY SCALE [EX EY EW EH]

Within the screen region (RX, RY, RW, RH) of the shot, the reference picture
must appear scaled SCALE times at (PX, PY) of the region, and black must
surround it. Each channel may differ by 2. Reference pixels inside the
optional rectangle (EX, EY, EW, EH) are not compared. Exit status 0 when the
picture is there, 1 otherwise (with the first differences on stdout).
"""
import sys

TOLERANCE = 2


def main(argv):
    ref_path, rw_, rh_, shot_path, sw_, sh_ = argv[1:7]
    ref_w, ref_h, shot_w, shot_h = int(rw_), int(rh_), int(sw_), int(sh_)
    rx, ry, rw, rh, px, py, scale = (int(v) for v in argv[7:14])
    ex, ey, ew, eh = (int(v) for v in argv[14:18]) if len(argv) > 14 else (0, 0, 0, 0)
    ref = open(ref_path, "rb").read()
    shot = open(shot_path, "rb").read()
    if len(ref) != ref_w * ref_h * 3 or len(shot) != shot_w * shot_h * 3:
        print("picture sizes do not match their dimensions")
        return 1
    if rx < 0 or ry < 0 or rx + rw > shot_w or ry + rh > shot_h:
        print("the region (%d, %d, %d x %d) leaves the screen" % (rx, ry, rw, rh))
        return 1
    black = b"\0\0\0"
    bad = 0
    for y in range(rh):
        got = shot[((ry + y) * shot_w + rx) * 3:((ry + y) * shot_w + rx + rw) * 3]
        v = (y - py) // scale
        want = bytearray()
        for x in range(rw):
            u = (x - px) // scale
            if 0 <= u < ref_w and 0 <= v < ref_h and 0 <= x - px and 0 <= y - py:
                want += ref[(v * ref_w + u) * 3:(v * ref_w + u) * 3 + 3]
            else:
                want += black
        if got == want:
            continue
        for x in range(rw):
            u, excluded = (x - px) // scale, False
            if ex <= u < ex + ew and ey <= v < ey + eh and x >= px and y >= py:
                excluded = True
            a, b = got[x * 3:x * 3 + 3], want[x * 3:x * 3 + 3]
            if excluded or all(abs(a[i] - b[i]) <= TOLERANCE for i in range(3)):
                continue
            bad += 1
            if bad <= 5:
                print("(%d, %d) of the region: %s instead of %s" % (x, y, tuple(a), tuple(b)))
    if bad:
        print("%d pixels differ" % bad)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
