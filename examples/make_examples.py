#!/usr/bin/env python3
"""Writes brask2.rul, the example rule file that scripts/run starts with.

Run from anywhere; the .rul is committed, so nothing needs this at build
time. Each rule is one 188-byte record, integers little-endian, texts in
80-byte NUL-padded fields (at most 79 characters).
"""
import os
import struct

CREATE, ACTIVATE = 0, 1
EQUALS, CONTAINS, BEGINS_WITH, ENDS_WITH = 0, 1, 2, 3
CLOSE, MINIMIZE, FORCE_MINIMIZE, MAXIMIZE, RESTORE, HIDE, CLOAK, SMASH = range(8)


def text_field(text):
    data = text.encode("cp1252")
    assert len(data) <= 79, text
    return data.ljust(80, b"\0")


def record(event, action, title=None, title_match=EQUALS, title_case=True,
           class_name=None, class_match=EQUALS, class_case=True):
    data = bytearray(188)
    struct.pack_into("<i", data, 0, event)
    data[4] = title is not None
    data[5:85] = text_field(title or "")
    struct.pack_into("<i", data, 88, title_match)
    data[92] = title_case
    data[93] = class_name is not None
    data[94:174] = text_field(class_name or "")
    struct.pack_into("<i", data, 176, class_match)
    data[180] = class_case
    struct.pack_into("<i", data, 184, action)
    return bytes(data)


RULES = [
    # The start-up tip that many programs show and few people read.
    record(CREATE, CLOSE, title="Tip of the Day"),
    # Update nags, in whatever case the program writes them.
    record(CREATE, MINIMIZE, title="update available", title_match=CONTAINS, title_case=False),
    # An editor that should always have the whole screen.
    record(ACTIVATE, MAXIMIZE, title=" - Notepad", title_match=ENDS_WITH,
           class_name="Notepad"),
    # Reminder windows of unregistered shareware, kept out of sight.
    record(CREATE, CLOAK, title="unregistered", title_match=BEGINS_WITH, title_case=False),
]

if __name__ == "__main__":
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "brask2.rul")
    with open(path, "wb") as out:
        out.write(b"".join(RULES))
