"""Byte builders for K-files in tests: little-endian fields and the format's framing."""

import struct


class KBytes:
    """Appends fields to a growing byte string; every method answers the builder."""

    def __init__(self, data=b""):
        self.data = bytearray(data)

    def pack(self, fmt, *values):
        self.data += struct.pack("<" + fmt, *values)
        return self

    def raw(self, data):
        self.data += bytes(data)
        return self

    def file_header(self, version=1):
        return self.raw(b"K#").pack("h", version)

    def section_header(self, length, name):
        return self.pack("i", length).raw(name.encode("latin-1").ljust(28, b"\0")[:28])

    def section(self, name, body):
        return self.section_header(len(body), name).raw(body)

    def terminator(self):
        return self.raw(bytes(32))

    def framed(self, payload):
        return self.pack("h", len(payload)).raw(payload)

    def __bytes__(self):
        return bytes(self.data)


def record_body(payloads):
    """Framed records followed by the int16 zero that ends a section body."""
    body = KBytes()
    for payload in payloads:
        body.framed(payload)
    return bytes(body.pack("h", 0))


def datagroup_payload(id, labels, value_type=6, value_size=8, rate=100.0, name=""):
    out = KBytes().pack("h", id)
    if name:
        out.pack("B", len(name) + 1).raw(name.encode("latin-1") + b"\0")
    else:
        out.pack("B", 0)
    out.pack("BBfh", value_type, value_size, rate, len(labels))
    for label in labels:
        text = label.encode("latin-1") if isinstance(label, str) else label
        out.pack("B", len(text) + 1).raw(text + b"\0")
    return bytes(out)


def dynamic_payload(id, frame, value_bytes=b""):
    return bytes(KBytes().pack("hi", id, frame).raw(value_bytes))


def take(groups, records, version=1):
    """A complete take: one DATAGROUP section and the framed dynamic records."""
    out = KBytes().file_header(version).section("DATAGROUP", record_body(groups)).terminator()
    for record in records:
        out.framed(record)
    return bytes(out)
