#!/usr/bin/env python3
"""Writes the seed corpus of the panel fuzz target (tests/fuzz/corpus/), in the target's input language.

Each seed is a short scenario a person would try first; the fuzzer mutates from there. Run it again after the
input language of panel_fuzz.cpp changes, and commit the files it writes.
"""
import pathlib
import struct

# Operations, in the order of the target's Op enumeration.
(COMMAND, UPDATE, DISCONNECT, OTHER_SERVICE, FAIL_ATTACH, ENGINE_WRITE, VARIABLE, TEXT, IMAGE, MARKER,
 ANNUNCIATOR_T, LIFECYCLE, CLICK, REFRESH_GAUGE) = range(14)

COMMANDS = ["STAB", "ALT", "ALTA", "ALTA_DECREASE", "ALTA_INCREASE", "HDG", "HDG_LEFT", "HDG_RIGHT", "IAS", "VS",
            "VS_DECREASE", "VS_INCREASE", "CRHT", "CRHT_DOWN", "CRHT_UP", "TDN", "HOV", "HOV_DOWN", "HOV_UP", "NAV",
            "APP", "GS", "TRIM_UP", "TRIM_RIGHT", "TRIM_DOWN", "TRIM_LEFT", "IAS_INCREASE", "IAS_DECREASE",
            "ALT_INCREASE", "ALT_DECREASE", "ALT_VS_INCREASE", "ALT_VS_DECREASE", "GO_AROUND", "FD_DISENGAGE",
            "TRIM_CENTER", "GS_FORWARD", "GS_RESET_FB", "GS_BACK", "GS_RIGHT", "GS_RESET_LR", "GS_LEFT"]
# Variable slots of the fake host, in the target's token order.
SUPPLY, ENABLE, AIRSPEED, RADAR, CURRENT_ALTITUDE, HEADING_BUG, AUTOPILOT_ALTITUDE, AUTOPILOT_AIRSPEED, \
    NAV_SOURCE, NAV_FLAGS = range(10)

NAN, INF = float("nan"), float("inf")


def num(value):
    """A raw double."""
    return bytes([0xC0]) + struct.pack("<d", value)


def word(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def command(name, a=0, b=0):
    return bytes([COMMAND, COMMANDS.index(name)]) + word(a) + word(b)


def header(choice, parameter=b""):
    """The AFCP header the host passes: 0 the module's own, 1 none, 2 the module's own with a parameter text."""
    return bytes([choice]) + (bytes([len(parameter)]) + parameter if choice == 2 else b"")


def update(supply=28.0, enable=1.0, airspeed=80.0, radar=100.0, choice=0, parameter=b""):
    return bytes([UPDATE]) + num(supply) + num(enable) + num(airspeed) + num(radar) + header(choice, parameter) + \
        word(0)


def variable(slot, value):
    return bytes([VARIABLE, slot]) + num(value) + bytes([0]) + word(0)


def raw_variable(slot, bits):
    return bytes([VARIABLE, slot]) + num(0.0) + bytes([1]) + struct.pack("<Q", bits) + word(0xDEADBEEF)


def engine_write(field, value):
    if field < 4:
        return bytes([ENGINE_WRITE, field]) + word(value) + num(0.0)
    return bytes([ENGINE_WRITE, field]) + word(0) + num(value)


def text(which, max_length_select, s1=0.0, s2=0.0, s3=0.0, mode=2):
    return bytes([TEXT, which, mode, max_length_select]) + num(s1) + num(s2) + num(s3)


def all_texts(s1=0.0, s2=0.0, s3=0.0):
    # Length selectors 12 and 9 give the table's 11 and 7.
    return b"".join(text(w, 9 if w in (1, 4) else 12, s1, s2, s3) for w in range(6))


def all_images():
    return b"".join(bytes([IMAGE, i, i & 1]) for i in range(24))


def markers():
    return bytes([MARKER, 0, MARKER, 1])


def annunciator_t(shape, parameter=b"", code=None, tree=b""):
    """shape: bits 0-1 the header (0 the module's own, 1 none, 2 no element list, 3 the tree given), bit 4 no
    parameter text, bits 5-7 zero for a service code other than 2."""
    out = bytes([ANNUNCIATOR_T, shape])
    if shape & 0xE0 == 0:
        out += word(code if code is not None else 2)
    if shape & 0x10 == 0:
        if len(parameter) >= 0xFF:
            out += bytes([0xFF, len(parameter) // 16, len(parameter) % 16])
        else:
            out += bytes([len(parameter)])
        out += parameter
    return out + tree + word(0)


def tree(*nodes, root=True):
    """Nodes as (shape, background): shape bits 0-1 the child list (0 none, 1 empty, 2 the next node, 3 the next
    and the last node), bit 4 a static image instead of a text."""
    out = bytes([len(nodes) - 1])
    for shape, background in nodes:
        out += bytes([shape]) + word(background)
    return out + bytes([1 if root else 0])


def seeds():
    yield "attach_and_engage", (
        update() + update() + variable(CURRENT_ALTITUDE, 2450.0) + variable(NAV_SOURCE, 1.0) +
        variable(HEADING_BUG, 90.0) + variable(AUTOPILOT_AIRSPEED, 6400.0) +
        b"".join(command(c) for c in ["STAB", "ALT", "HDG", "IAS", "VS", "CRHT", "NAV", "APP", "GS", "ALTA"]) +
        update() + all_texts(90.0, 275.0, 1.0) + all_images() + markers() +
        command("HOV") + command("TRIM_UP") + command("TRIM_RIGHT") + command("TDN") + update() + all_texts(90.0))

    yield "hostile_values", (
        update() + update(NAN, NAN, INF, NAN) +
        b"".join(variable(slot, v) for slot, v in zip(range(10), [NAN, -0.0, INF, -INF, 1e300, -1e300, NAN, 1e300,
                                                                  NAN, -INF])) +
        b"".join(command(c, -1, 0x7FFFFFFF) for c in COMMANDS) + update(9.99, 0.0, NAN, INF) +
        all_texts(-1e300, INF, -3.0) + all_texts(NAN, NAN, NAN) +
        b"".join(text(w, sel, 1e300, -1e300, -INF) for w in range(6) for sel in (0, 1, 2, 14, 15, 16)))

    yield "engine_writes", (
        update() + engine_write(0, 0xFFFFFFFF) + engine_write(1, 0xFFFFFFFF) + engine_write(4, NAN) +
        engine_write(5, INF) + engine_write(6, -1e300) + engine_write(7, NAN) + engine_write(8, -INF) +
        all_texts() + all_images() + markers() +
        b"".join(command(c) for c in ["HOV_UP", "HOV_DOWN", "CRHT_UP", "CRHT_DOWN", "ALT_VS_INCREASE",
                                      "ALT_VS_DECREASE", "TRIM_UP", "TRIM_DOWN", "TRIM_LEFT", "TRIM_RIGHT"]) +
        engine_write(0, 0x00041000) + engine_write(2, 9) + update(5.0, 1.0) + all_texts() +
        engine_write(0, 0x04012000) + command("TRIM_LEFT") + command("TRIM_UP") + update(28.0, 0.0))

    yield "attach_fails", (
        bytes([FAIL_ATTACH, 1]) + update() + update() + b"".join(command(c) for c in COMMANDS[:22]) +
        all_texts(1.0, 2.0, 3.0) + all_images() + markers() + bytes([DISCONNECT]) + header(1) + word(0) +
        bytes([FAIL_ATTACH, 0]) + update(choice=1) + update() + bytes([DISCONNECT]) + header(0) + word(0) +
        bytes([DISCONNECT]) + header(2, b"afcp") + word(0) + bytes([OTHER_SERVICE]) + word(2) + header(0) +
        word(0) + update(choice=2, parameter=b"x.ini") + command("STAB"))

    yield "annunciator_t", (
        annunciator_t(0x20, b"255") + annunciator_t(0x20, b"  -1") + annunciator_t(0x20, b"blue") +
        annunciator_t(0x20, b"") + annunciator_t(0x30) + annunciator_t(0x21, b"255") + annunciator_t(0x22, b"7") +
        annunciator_t(0x00, b"255", code=6) + annunciator_t(0x00, b"255", code=15) +
        annunciator_t(0x20, b"9" * 300) + annunciator_t(0x20, b"-" + b"9" * 40) +
        annunciator_t(0x20, bytes(range(1, 256))) +
        annunciator_t(0x23, b"16777215", tree=tree((2, 0x44332211), (0x12, 0), (3, 0x04030201), (2, 0x08070605))) +
        annunciator_t(0x33, tree=tree((2, 1), (1, 2), (0, 3))) +
        annunciator_t(0x23, b"-5", tree=tree((2, 1), (2, 2), root=False)))

    yield "ground_speed", (
        update() + command("GS_FORWARD") * 60 + command("GS_LEFT") * 25 + markers() + command("GS_BACK") * 80 +
        command("GS_RIGHT") * 45 + markers() + command("GS_RESET_FB") + command("GS_RESET_LR") + markers() +
        command("TRIM_UP") + markers() +
        b"".join(bytes([LIFECYCLE, g]) + word(1000 + g) + word(0xDEADBEEF) + bytes([g % 7]) for g in range(11)) +
        b"".join(bytes([CLICK, g, 0]) + word(0) + word(0) for g in range(11)) +
        b"".join(bytes([REFRESH_GAUGE, g]) + num(90.0) + num(-750.0) + num(6400.0) for g in range(11)))

    yield "text_lengths", (
        update() + update() + engine_write(0, 0x00001080) +
        b"".join(text(w, sel, 123456.0, -12345.0, -3.0) for w in range(6) for sel in range(17)) +
        engine_write(0, 0x00000100) + engine_write(1, 0x00000200) +
        b"".join(text(w, sel, 1e300, 1e300, 1e300) for w in range(6) for sel in range(17)) +
        text(0, 12, mode=0) + text(1, 12, mode=1) + raw_variable(NAV_FLAGS, 0xFFFFFFFFFFFFFFC0) +
        variable(NAV_SOURCE, 0.0) + command("NAV") + command("NAV") + raw_variable(NAV_FLAGS, 0x80) +
        command("NAV") + all_texts())


def main():
    folder = pathlib.Path(__file__).resolve().parent / "corpus"
    folder.mkdir(exist_ok=True)
    for name, data in seeds():
        (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
