#!/usr/bin/env python3
"""Writes the generated seed files of the fuzz corpora (the others are cut from the test data).
Run from the repository root: python3 fuzz/make_seeds.py; the files are committed."""
import os
import struct

DATA = "tests/mp3/data"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(name, limit=None):
    with open(os.path.join(DATA, name), "rb") as f:
        data = f.read()
    return data[:limit] if limit else data


def riff(form, chunks):
    body = form + b"".join(cid + struct.pack("<I", len(d)) + d + (b"\0" if len(d) & 1 else b"") for cid, d in chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def fmt(channels, rate, bits, extra=False):
    align = channels * bits // 8
    record = struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)
    return record + (struct.pack("<H", 0) if extra else b"")


def wav_seeds():
    write("fuzz/wav/corpus/mono8.wav", riff(b"WAVE", [(b"fmt ", fmt(1, 8000, 8)), (b"data", bytes(range(0, 250, 5)))]))
    write("fuzz/wav/corpus/stereo16_extra.wav",
          riff(b"WAVE", [(b"fmt ", fmt(2, 22050, 16, True)), (b"LIST", b"INFOISFT\x03\0\0\0ab\0\0"),
                         (b"data", struct.pack("<8h", 0, 1000, -1000, 32767, -32768, 5, 6, 7))]))
    write("fuzz/wav/corpus/odd_data.wav", riff(b"WAVE", [(b"fmt ", fmt(1, 11025, 8)), (b"data", b"\x80\x81\x82")]))


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)


def smf(fmt_type, division, tracks):
    head = b"MThd" + struct.pack(">IHHH", 6, fmt_type, len(tracks), division)
    return head + b"".join(b"MTrk" + struct.pack(">I", len(t)) + t for t in tracks)


def smf_seeds():
    end = b"\x00\xff\x2f\x00"
    notes = b"\x00\x90\x3c\x64" + vlq(96) + b"\x3c\x00" + b"\x00\xc0\x05\x00\xe0\x00\x40"
    tempo = b"\x00\xff\x51\x03\x07\xa1\x20\x00\xff\x03\x04name"
    write("fuzz/smf/corpus/format0.mid", smf(0, 96, [tempo + notes + end]))
    write("fuzz/smf/corpus/format1.mid", smf(1, 480, [tempo + end, notes + b"\x00\xf0\x03\x7e\x7f\xf7" + end]))
    junk = b"XTRA" + struct.pack(">I", 2) + b"hi"
    write("fuzz/smf/corpus/extra_chunk.mid", smf(2, 0x7FFF, [end])[:22] + junk + b"MTrk" + struct.pack(">I", 4) + end)


def palette_seeds():
    write("fuzz/palette/corpus/full.pal", "".join(f"\n{i} {255 - i} {i // 2} 0" for i in range(256)).encode())
    write("fuzz/palette/corpus/short_signed.pal", b"-1 +300 7 0\n12 13\t14 1\n 99999999999999999999 0 0 0")
    write("fuzz/palette/corpus/junk_after.pal", b"1 2 3 4 5 6 7 8 x 9")


def first_frame(name, skip=0):
    data = read(name)[skip:]
    at = data.index(b"\xff\xfb") if b"\xff\xfb" in data else data.index(b"\xff\xf3")
    return data[at:at + 420]


def vbri_frame():
    frame = bytearray(417)
    frame[0:4] = b"\xff\xfb\x90\x64"
    toc = b"".join(struct.pack(">H", 40 + i) for i in range(10))
    frame[36:36 + 26 + len(toc)] = b"VBRI" + struct.pack(">HHHIIHHHH", 1, 576, 75, 40000, 100, 10, 1, 2, 10) + toc
    return bytes(frame)


def vbr_seeds():
    # Layout byte 0: the side information's usual place; byte 1: MPEG-1 at 44.1 kHz or MPEG-2.
    write("fuzz/vbr/corpus/lame_xing.bin", b"\x00\x00" + first_frame("l3-nonstandard-sin1k0db_lame_vbrtag.bit"))
    write("fuzz/vbr/corpus/xing_corrupted.bin", b"\x00\x00" + first_frame("l3-nonstandard-vbrtag-corrupted.bit"))
    write("fuzz/vbr/corpus/vbri.bin", b"\x00\x00" + vbri_frame())
    write("fuzz/vbr/corpus/info_lsf.bin", b"\x00\x07" + b"\xff\xf3\x90\x64" + bytes(9) + b"Info" + struct.pack(">I", 15) +
          struct.pack(">II", 50, 20000) + bytes(range(100)) + struct.pack(">I", 60) + b"LAME3.100" + bytes(30))


def stream_seeds():
    # flags, four answers, first block size code, then [size code][block]...
    for name, flags, answers in (("l3-nonstandard-sin1k0db_lame_vbrtag.bit", 0x03, 0), ("M2L3_compl24.bit", 0x06, 0x1B),
                                 ("l2-fl13.bit", 0x0B, 0x55), ("l3-nonstandard-id3v2.bit", 0x01, 0xFF)):
        data = read(name, 6000)
        out = bytes([flags]) + struct.pack("<I", answers) + bytes([40]) + data[:40 * 16 + 8]
        rest = data[40 * 16 + 8:]
        while rest:
            out += bytes([64]) + rest[:64 * 16]
            rest = rest[64 * 16:]
        write(f"fuzz/stream/corpus/{os.path.splitext(name)[0]}.bin", out)


def seek_seeds():
    # operation: kind, time format, method/repeat, value (LE 32), second value
    def op(kind, fmt_code, method, value, second=0):
        return bytes([kind, fmt_code, method]) + struct.pack("<I", value) + bytes([second])
    plans = {
        "seek_play": [op(3, 0, 0, 0), op(0, 0, 0, 50), op(7, 0, 0, 0), op(0, 3, 2, 900)],
        "loop_reverse": [op(1, 0, 1, 10, 3), op(2, 0, 1, 0), op(7, 0, 0, 0)],
        "pause_seek": [op(3, 0, 0, 0), op(4, 0, 0, 0), op(0, 2, 3, 0x00000102), op(5, 0, 0, 0), op(6, 0, 0, 0)],
    }
    files = ("l3-nonstandard-sin1k0db_lame_vbrtag.bit", "M2L3_compl24.bit", "ILL2_mono.bit")
    for (plan, ops), name in zip(plans.items(), files):
        write(f"fuzz/seek/corpus/{plan}.bin", bytes([len(ops)]) + b"".join(ops) + read(name, 6000))


def api_seeds():
    # operation: kind, where (player | caller << 1), trigger, a, b, c, value (LE 32)
    def op(kind, where=0, trigger=0, a=0, b=0, c=0, value=0):
        return bytes([kind, where, trigger, a, b, c]) + struct.pack("<I", value)
    create, destroy, resource, stream, open_file, close, play, loop, seek, stop = range(10)
    getters, texts, eq, echo, spectrum, devices, effects, push, set_callback = 12, 13, 14, 15, 16, 17, 18, 19, 20
    armed, wait, null = 10, 12, 14
    stop_msg, play_msg, sync_stop, sync_play, wave = 0, 1, 7, 8, 12
    plans = {
        # The next song from the STOP handler, then the player freed there.
        "play_next": [op(create, value=0x00020001), op(resource, c=1), op(play, armed, stop_msg),
                      op(destroy, armed, stop_msg), op(play), op(0, wait, c=7), op(0, wait, c=7), op(getters, a=0)],
        # A managed stream fed by pushes, stopped from a synchronous callback.
        "stream_push": [op(create, value=0x04000401), op(stream, b=2, value=1200), op(push, a=8, value=1200),
                        op(stop, armed, wave), op(play), op(push, a=20, value=1712, c=1), op(getters, a=5),
                        op(0, wait, c=7), op(getters, a=6)],
        # Effects, spectrum and tags on a file, with seeks and a loop played in reverse.
        "effects": [op(create, value=0x0001000F), op(open_file), op(eq, a=1, c=5, value=0x12345678),
                    op(eq, a=3, b=1, c=4), op(echo, a=0, b=1, c=3, value=200), op(spectrum, a=0, c=0x3F),
                    op(texts, a=1, c=5), op(texts, a=0, c=3), op(effects, a=6, b=2, value=100),
                    op(play), op(seek, a=0, value=50), op(loop, a=0, b=8, c=10, value=10), op(effects, a=8, b=1),
                    op(0, wait, c=5), op(spectrum, a=1, c=0x3F), op(eq, a=5, b=1), op(devices, a=1), op(stop)],
        # Two players: one destroys the other from its SYNC_STOP handler and swaps callbacks.
        "two_players": [op(create, value=0x00010003), op(create, 1, value=0x00030003), op(resource, c=1),
                        op(stream, 1, b=1, value=3000), op(destroy, armed | 1, sync_stop),
                        op(set_callback, armed, play_msg, b=2), op(play, armed | 1, sync_play), op(play, 1),
                        op(play), op(0, wait, c=7), op(getters, null, a=1), op(destroy, null), op(0, wait | 1, c=7)],
    }
    files = ("l3-nonstandard-sin1k0db_lame_vbrtag.bit", "M2L3_compl24.bit", "l3-nonstandard-id3v2.bit", "M2L3_compl24.bit")
    for (plan, ops), name in zip(plans.items(), files):
        write(f"fuzz/api/corpus/{plan}.bin", bytes([len(ops)]) + b"".join(ops) + read(name, 5000))


def threads_seeds():
    # operation: thread, kind, where (player), a, b, value (LE 24); armed ops fire on the
    # first message among bits 4.. of their value
    def op(thread, kind, where=0, a=0, b=0, value=0):
        return bytes([thread, kind, where, a, b]) + struct.pack("<I", value)[:3]
    wait, destroy, open_file, stream, close, play, loop, seek, stop, pause = range(10)
    getters, push, set_callback, reverse, eq, sfx, fade, arm = 10, 12, 13, 14, 15, 16, 17, 19
    on_stop, on_sync_stop, on_play = 0x1 << 4, 0x10000 << 4, 0x2 << 4
    plans = {
        # A playlist from the STOP handler while two threads poll every getter.
        "playlist": (3, [op(0, open_file), op(0, arm, a=open_file, value=on_stop), op(0, arm, a=play, value=on_stop),
                         op(0, play)] + [op(1 + i % 2, getters, a=i, b=i) for i in range(24)] +
                     [op(0, wait, a=19), op(0, stop)]),
        # Destroy from one thread while the other plays and the handler plays again.
        "destroy_while_playing": (2, [op(0, open_file), op(0, arm, a=play, value=on_sync_stop), op(0, play),
                                      op(1, getters, a=2), op(1, seek, value=100), op(1, play), op(0, wait, a=3),
                                      op(0, destroy, value=1), op(1, getters, a=11), op(1, play)]),
        # Two threads opening, closing, seeking and playing the same player, a stream on the other.
        "random_calls": (4, [op(0, open_file), op(1, close), op(0, play), op(1, open_file), op(2, seek, value=500),
                             op(3, stream, 1, a=2), op(3, push, 1, a=20, value=300), op(3, play, 1), op(2, loop, a=1),
                             op(1, reverse, a=1), op(0, stop), op(2, eq, a=1, b=1), op(0, sfx, a=1, b=2),
                             op(1, fade, a=1, value=200), op(3, set_callback, 1, a=2), op(2, play), op(0, close)]),
    }
    files = ("M2L3_compl24.bit", "l3-nonstandard-id3v2.bit", "l3-nonstandard-sin1k0db_lame_vbrtag.bit")
    for (plan, (threads, ops)), name in zip(plans.items(), files):
        write(f"fuzz/threads/corpus/{plan}.bin", bytes([threads - 2, len(ops)]) + b"".join(ops) + read(name, 5000))


if __name__ == "__main__":
    wav_seeds()
    smf_seeds()
    palette_seeds()
    vbr_seeds()
    stream_seeds()
    seek_seeds()
    api_seeds()
    threads_seeds()
