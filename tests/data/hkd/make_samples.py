#!/usr/bin/env python3
"""Builds the sample definitions files of this folder byte by byte from the value encoding:
tags 00 end of list, 01 begin of list, 02/03/04 integer of 1/2/4 bytes, 06 string with 1-byte length,
08 False, 09 True, 0C string with 4-byte length, 12 UTF-16LE string (length in units), 14 UTF-8 string.
Run it from anywhere; it rewrites the *.hkd files beside it."""
import os
import struct

END, LIST = b"\x00", b"\x01"
F, T = b"\x08", b"\x09"


def i8(v): return b"\x02" + struct.pack("<b", v)
def i16(v): return b"\x03" + struct.pack("<h", v)
def i32(v): return b"\x04" + struct.pack("<i", v)
def s06(t): b = t.encode("ascii"); return b"\x06" + bytes([len(b)]) + b
def s0c(t): b = t.encode("ascii"); return b"\x0c" + struct.pack("<i", len(b)) + b
def s14(t): b = t.encode("utf-8"); return b"\x14" + struct.pack("<i", len(b)) + b
def s12(t): b = t.encode("utf-16-le"); return b"\x12" + struct.pack("<i", len(b) // 2) + b
def keys(ctrl, alt, shift, win, pos):
    return b"".join(T if x else F for x in (ctrl, alt, shift, win)) + (i8(pos) if -128 <= pos <= 127 else i16(pos))


def v150():
    out = s06("Hotkey definitions, version 1.5") + i8(2) + F + LIST
    out += s06("Notepad") + s06("NOTE") + i8(0) + s06(r"notepad.exe %TEMP%\a.txt") + keys(1, 1, 0, 0, 41) + T \
        + s06("Maximized") + s06(r"C:\Temp")
    out += s06("Type greeting") + s06("TYPE") + i8(1) + s06("Hello{ENTER}") + keys(0, 0, 1, 0, 73) + T
    out += s06("Morning") + s06("MORN") + i8(2) + s06("NOTE;D=500;TYPE") + keys(0, 0, 0, 1, 40) + F
    out += s06("Restart") + s06("REST") + i8(3) + i8(2) + keys(1, 1, 0, 0, 17) + T
    out += s06("Clipboard 3") + s06("CLI3") + i8(10) + i8(2) + keys(0, 0, 0, 1, 21) + T
    out += s06("Clipboard 7") + s06("CLI7") + i8(10) + i8(6) + keys(0, 0, 0, 1, 25) + T
    out += s06("Clipboard 300") + s06("C300") + i8(10) + i16(299) + keys(1, 0, 0, 1, 21) + T
    out += s06("Clipboard far") + s06("CFAR") + i8(10) + i32(70000) + keys(1, 0, 0, 1, 22) + T
    out += s06("Louder") + s06("LOUD") + i8(6) + keys(0, 0, 0, 1, 65) + T
    out += s14("Dokumente \u2013 \u00d6ffnen") + s06("DOKU") + i8(14) + s14("C:\\Users\\J\u00fcrgen\\Dokumente") \
        + keys(1, 0, 0, 0, 31) + T
    out += s06("Load Previous HKD File") + s06("PHKD") + i8(15) + s06(r"c:\hk\old.hkd") + keys(0, 0, 0, 1, 39) + T
    out += s0c("x" * 300) + s06("XXXX") + i8(8) + keys(0, 1, 0, 0, 100) + F
    out += s06("Empty program") + s06("EMPT") + i8(0) + s06("") + keys(0, 0, 0, 0, 5) + F + s06("Normal") + s06("")
    out += END
    return out


def v100():
    # No sort fields, no IDs, stored action numbers above 1 one lower, no Show or Start in.
    out = s06("Hotkey definitions, version 1.0") + LIST
    out += s06("Internet Explorer") + i8(0) + s06("iexplore.exe") + keys(0, 0, 0, 1, 36) + T
    out += s06("Keys") + i8(1) + s06("abc~") + keys(1, 0, 0, 0, 38) + T
    out += s06("Internet Radio") + i8(2) + i8(0) + keys(1, 1, 0, 0, 43) + T    # Exit Windows, Shutdown
    out += s06("Internet") + i8(3) + keys(1, 1, 0, 0, 32) + F                  # Edit Calderine
    out += s06("a-b") + i8(9) + i8(1) + keys(0, 0, 0, 1, 19) + T               # clipboard 2
    out += s06("") + i8(13) + s06(r"C:\Windows") + keys(0, 0, 0, 1, 31) + T      # Open a Folder
    out += END
    return out


def v105():
    out = s06("Hotkey definitions, version 1.05") + LIST
    out += s06("Calc") + s06("CALC") + i8(0) + s06("calc.exe") + keys(1, 0, 0, 0, 30) + T
    out += s06("Quiet") + s06("QUIE") + i8(7) + keys(0, 0, 0, 1, 66) + T
    out += END
    return out


def v120():
    out = s06("Hotkey definitions, version 1.2") + LIST
    out += s06("Paint") + s06("PAIN") + i8(0) + s06("mspaint.exe") + keys(1, 0, 0, 0, 43) + T + s06("Minimized")
    out += s06("Exit") + s06("EXIT") + i8(3) + i8(3) + keys(1, 1, 1, 0, 5) + T
    out += END
    return out


def v130():
    out = s06("Hotkey definitions, version 1.3") + LIST
    out += s12("Editor \u00e9") + s06("EDIT") + i8(0) + s12("edit.exe") + keys(0, 1, 0, 0, 32) + T \
        + s06("Normal") + s0c("D:\\Work")
    out += s06("Eject") + s06("EJEC") + i8(12) + keys(0, 0, 0, 1, 32) + T
    out += END
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, data in (("v150_sample", v150()), ("v100_sample", v100()), ("v105_sample", v105()),
                       ("v120_sample", v120()), ("v130_sample", v130())):
        with open(os.path.join(here, name + ".hkd"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
