"""Element lines with correct checksums, for the Python tests."""

LINE1_TEXT = "U 24001A   24001.50000000 -.00016717  00000-0  10270-3 0  900"
LINE2_TEXT = " 51.6416 247.4627 0006703 130.5360 325.0288 15.5000000042  "


def checksum(body: bytes) -> int:
    """Digits 1-9 by value, minus signs 1, the rest nothing; modulo 10."""
    total = 0
    for byte in body:
        if 0x31 <= byte <= 0x39:
            total += byte - 0x30
        elif byte == 0x2D:
            total += 1
    return total % 10


def element_line(kind: int, number: str, end: bytes = b"\n", wrong: bool = False,
                 text: str = None) -> bytes:
    """Line `kind` of catalogue number `number`: 69 columns and `end`."""
    if text is None:
        text = LINE1_TEXT if kind == 1 else LINE2_TEXT
    body = (f"{kind} {number}" + text).encode("latin-1")[:68].ljust(68, b" ")
    digit = (checksum(body) + (1 if wrong else 0)) % 10
    return body + bytes([0x30 + digit]) + end


def element_set(number: str, title: bytes = None, end: bytes = b"\n") -> bytes:
    """An element set: its title line if given, line 1 and line 2."""
    head = title + end if title is not None else b""
    return head + element_line(1, number, end) + element_line(2, number, end)
