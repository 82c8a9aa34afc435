#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the hand-made seed inputs of the fuzz targets into fuzz/seeds/.

The seeds are committed; run this again only to change them. Each seed is a small,
valid input that reaches deep into its reader, so the fuzzer starts from the structure
instead of discovering it byte by byte.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def i32(v):
    return struct.pack('<i', v)


def text(b):
    return i32(len(b)) + b


def motion_list(motions):
    return i32(len(motions)) + b''.join(motions)


def motion(kind, e, s, rest=b''):
    return i32(kind) + b'\0\0' + bytes([e, s]) + rest


def embedded_motion(event):
    # D = 1 and the 4 bytes before the event = 1: one card holding one event, whether they
    # are read as counts or as a flag and filler.
    card = (text(b'inner\0') + bytes(18) + motion_list([]) + bytes(12)
            + b''.join(text(b'') for _ in range(7)) + bytes(1)
            + text(b'') + text(b'') + i32(1) + event + bytes(5))
    return (i32(0x40808) + bytes(3) + i32(1) + bytes(1) + text(b'a\0') + text(b'b\0')
            + bytes(4) + card)


def content(kind, name, children, body):
    return bytes([kind]) + text(name) + i32(40000 + len(children)) + b''.join(children) + body


def top(kind, name, children):
    return bytes([kind]) + text(name) + i32(40000 + len(children)) + b''.join(children)


def event(tops):
    return i32(len(tops)) + b''.join(tops)


def card(name, motions, keycodes, events, level=3, target=3,
         first=b'first block' + bytes(20), second=b'second\0'):
    body = b'\x05' + text(first) + text(name) + bytes(4)
    body += text(second) + bytes(8)
    body += bytes([1, 0, target, 2, 1]) + i32(-2) + bytes(1)
    body += motion_list(motions)
    body += i32(3) + i32(-4) + i32(10)
    body += text(b'third\0') + text(b'fourth\0')
    keys = (keycodes + [b''] * 5)[:5]
    body += b''.join(text(k) for k in keys)
    body += bytes(1) + text(b'') + text(b'')
    body += i32(len(events)) + b''.join(events)
    body += bytes(1) + i32(level) + bytes(4)
    return body


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, 'seeds', folder), exist_ok=True)
    with open(os.path.join(HERE, 'seeds', folder, name), 'wb') as f:
        f.write(data)


FARATACK = bytes.fromhex('89938b9797a38d558c8200')  # 遠距離攻撃
ASSASIN = bytes.fromhex('88c38e4500')                # 暗殺
NAME = bytes.fromhex('898a82cc96ee00')              # 炎の矢

inner_event = event([top(0, b'start\0', [
    content(11, b'm\0', [], bytes(11) + text(b't\0') + bytes(1)
            + motion_list([motion(0x40803, 2, 0, i32(3))])),
])])

# The shortest card that reads: every length, count and value 0, the last 4 bytes absent.
minimal = b'\x05' + bytes(96)
effects = [
    motion(0x40800, 1, 1, b'\x00' + i32(12)),
    motion(0x40801, 1, 2, b'\x01' + i32(5)),
    motion(0x40802, 2, 1),
    motion(0x40803, 2, 1, i32(3)),
    motion(0x40804, 4, 2, i32(2)),
    motion(0x40805, 0, 3, i32(-2) + i32(3)),
    motion(0x40806, 0, 0),
    motion(0x40807, 0, 6),
    embedded_motion(inner_event),
]
events = [event([
    top(0, b'start\0', [
        content(8, b'\0', [], i32(1) + bytes(16) + text(b'x\0') + bytes(1) + text(b'y\0')
                + bytes(1)),
        content(40, b'\0', [content(3, b'\0', [], bytes(1))],
                bytes(1) + i32(1) + text(b'k\0') + text(b'v\0')),
        content(6, b'\0', [], text(b'a\0') + text(b'b\0')),
        content(16, b'\0', [], text(b'c\0') + bytes(1)),
        content(18, b'\0', [], i32(0) + bytes(4)),
    ]),
])]

write('wid', 'Skill-minimal.wid', minimal)
write('wid', 'Skill-plain.wid', card(b'plain\0', [], [], []))
write('wid', 'Skill-named.wid', card(NAME, effects, [b'other\0', FARATACK, b'', b'', ASSASIN],
                                     events))
write('wid', 'Skill-embedded.wid', card(b'x\0', [embedded_motion(inner_event)], [], []))
# Blocks on both sides of the size below which a card read field by field passes a block
# by reading it rather than by seeking (256 bytes), and a key code longer than any compared.
write('wid', 'Skill-long-blocks.wid', card(b'long\0', effects[:2], [b'k' * 300 + b'\0', FARATACK],
                                           [], first=b'f' * 255 + b'\0',
                                           second=b's' * 256 + b'\0'))

write('cws', 'enemy.cws', b'\r\n'.join([
    b'0000050', b'000', b'0', b'0', b'0', b'100000', b'3', b'0', b'0', b'0', b'000000',
    b'0', b'0', b'0', b'0', b'0', b'0000', b'0', b'0', b'0', b'0', b'000', b'0', b'0', b'0',
    b'', b'0000', b'0', b'0', b'0', b'0', b'0', b'0', b'0', b'0', b'000000']) + b'\r\n')
write('cws', 'ally.cws', b'\n'.join([
    b'1110101', b'111', b'15', b'5', b'20', b'111', b'150', b'30', b'111111', b'5', b'6',
    b'7', b'8', b'1', b'11', b'12', b'1111', b'1111', b'1', b'2', b'3', b'9', b'4', b'5',
    b'6', b'7', b'13', b'15']) + b'\n')

# UTF-8 at the edges: a character of each length, a surrogate, one above U+10FFFF, an
# overlong slash and a character cut off at the end.
write('shift_jis', 'utf8.txt', bytes.fromhex('41c2a9e7828ef09f9880eda080f4908080c0afe782'))
write('shift_jis', 'names.txt', NAME + FARATACK + ASSASIN + b'\\~ \x87\x40\xed\x40\xfa\x40')

write('ini', 'folders.ini', b'[MORVAT.Ex]\r\nOpenFolder=C:\\Users\\player\\Documents\\cards\\\r\nSaveFolder=D:\\\xe3\x82\xb9\r\n')
write('ini', 'other.ini', b'\xef\xbb\xbf; kept\n[Other]\nkey = " spaced "\n\n[morvat.ex]\nopenfolder=/home/x\n')
