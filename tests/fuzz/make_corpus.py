#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/<target>/.

Settings files are sequences of 55-byte records: a 17-character marker, top and left as signed
32-bit little-endian integers, a 30-character data field; text is blank-filled, unused records zero.
Run again after changing a seed; the fuzzer itself works on a copy (scripts/fuzz.sh).
"""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent


def record(marker=b"", top=0, left=0, data=b"", marker_fill=b" "):
    assert len(marker) <= 17 and len(data) <= 30
    return marker.ljust(17, marker_fill) + struct.pack("<ii", top, left) + data.ljust(30, b" ")


ZERO = b"\0" * 55


def settings(folder_record, window_record, font_record):
    return folder_record + ZERO * 3 + window_record + ZERO * 2 + font_record


def write(target, name, content):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(content)


def main():
    # A folder of up to 30 characters leaves the marker zero.
    normal = settings(
        record(b"", 1, 0, b"C:\\Pictures\\Wallpapers", marker_fill=b"\0"),
        record(b"[WallpaperLoc]", 1440, 2880, b"CheckCheckEmptyRando 3"),
        record(b"[AllFont]", 0, 0, b"Arial"))
    assert len(normal) == 440
    write("fuzz_settings_record", "normal.ini", normal)

    # A longer folder: 29 characters and the continuation mark, the rest in the marker.
    long_folder = b"D:\\Users\\Someone\\Pictures\\Holiday\\Beach"
    long_settings = settings(
        record(long_folder[29:], 1, 0, long_folder[:29] + b"?"),
        record(b"[WallpaperLoc]", -120, -1, b"Empty"),
        record(b"[AllFont]", 0, 0, b"TimesNewRoman"))
    write("fuzz_settings_record", "long_folder.ini", long_settings)
    write("fuzz_settings_record", "cut_in_window_record.ini", normal[:250])
    write("fuzz_settings_record", "empty.ini", b"")

    write("fuzz_list_file", "empty.dat", b"")
    write("fuzz_list_file", "three_lines.dat",
          b'"C:\\Pictures\\one.bmp"\r\n"C:\\Pictures\\two.jpg"\r\n"C:\\Pictures\\three.gif"\r\n')
    write("fuzz_list_file", "mixed.dat",
          b'"D:\\Photos\\Beach, 2023.bmp"\r\n'
          b'  E:\\plain name.bmp  ,F:\\second.jpg\n'
          b'"G:\\after quote.bmp" ignored,next\r'
          b'H:\\zero\0byte.bmp\r\n'
          b'"unterminated   ')
    write("fuzz_list_file", "trailing_blanks.dat", b'"a.bmp",b.bmp,\r\n   ')

    # The test pictures, and an animated GIF whose two frames claim 6000 x 5000 pixels each.
    data = HERE.parent / "data"
    for name in ("red.jpg", "green.gif", "blue.bmp", "truncated.jpg"):
        write("fuzz_picture_claim", name, (data / name).read_bytes())
    # A photo turned a quarter clockwise: an Exif segment with the orientation tag before the frame.
    tiff = b"II*\0" + struct.pack("<IH", 8, 1) + struct.pack("<HHIHH", 0x0112, 3, 1, 6, 0) + b"\0\0\0\0"
    exif = b"Exif\0\0" + tiff
    red = (data / "red.jpg").read_bytes()
    write("fuzz_picture_claim", "oriented.jpg", red[:2] + b"\xff\xe1" + struct.pack(">H", len(exif) + 2) + exif + red[2:])
    frame = b"\x2c" + struct.pack("<HHHH", 0, 0, 6000, 5000) + b"\x00\x02\x02\x4c\x01\x00"
    write("fuzz_picture_claim", "frames.gif",
          b"GIF89a" + struct.pack("<HH", 6000, 5000) + b"\x80\0\0" + b"\0\0\0\xff\xff\xff"
          + b"\x21\xf9\x04\0\0\0\0\0" + frame * 2 + b"\x3b")


if __name__ == "__main__":
    main()
