import array
import threading

import pytest

import dar3
from dar3 import events


def peak(pcm, channel=None):
    samples = array.array("h", pcm)
    if channel is not None:
        samples = samples[channel::2]
    return max((abs(s) for s in samples), default=0)


def test_open_reports_format_length_and_tags(tone):
    with dar3.Player() as player:
        player.open(tone, buffer_ms=0)
        info = player.info
        assert (info["sample_rate"], info["channels"], info["bitrate"]) == (44100, 2, 128)
        assert 1990 <= player.length <= 2100
        assert player.position == 0
        tags = player.tags
        assert tags["title"] == "Noční píseň"
        assert (tags["artist"], tags["album"], tags["year"]) == ("Jed", "Grimstorm", "2026")


def test_failures_carry_the_library_text(tmp_path):
    with dar3.Player() as player:
        with pytest.raises(dar3.Dar3Error, match="Stream isn't open"):
            player.seek(100)
        with pytest.raises(dar3.Dar3Error) as missing:
            player.open(tmp_path / "absent.mp3")
        assert str(missing.value) == player.error and str(missing.value)
        (tmp_path / "noise.mp3").write_bytes(b"not an mp3 at all" * 64)
        with pytest.raises(dar3.Dar3Error):
            player.open(tmp_path / "noise.mp3")
    with pytest.raises(dar3.Dar3Error, match="destroyed"):
        player.play()


def test_decode_returns_the_whole_song_as_stereo_pcm(tone):
    pcm, rate = dar3.decode(tone)
    assert rate == 44100
    frames = len(pcm) // 4
    assert len(pcm) % 4 == 0
    assert abs(frames - 2 * 44100) < 2 * 1152 + 576  # encoder delay and padding stay in
    assert 20000 < peak(pcm, 0) < 32768 and 20000 < peak(pcm, 1)


def test_decode_from_a_seek_and_with_effects(tone, left_only):
    with dar3.Player() as player:
        player.open(tone, buffer_ms=0)
        player.seek(1500)
        assert player.position == 1500
        tail = player.decode()
        assert abs(len(tail) // 4 - 22050) < 2000
        # The same sine in both channels: the vocal cut takes it out.
        player.seek(0)
        player.vocal_cut(True)
        assert peak(player.decode()) < 500
    with dar3.Player() as player:
        player.open(left_only, buffer_ms=0)
        plain = player.decode()
        assert peak(plain, 1) < 300 < peak(plain, 0)
        player.seek(0)
        player.mix_channels(True, 50, 50)
        mixed = player.decode()
        assert peak(mixed, 1) > 5000


def test_player_volume_scales_the_decoded_samples(tone):
    with dar3.Player() as player:
        player.open(tone, buffer_ms=0)
        full = peak(player.decode())
        player.volume = (150, 50)  # above 100 counts as 100
        assert player.volume == (100, 50)
        player.seek(0)
        quieter = player.decode()
        assert peak(quieter, 0) == pytest.approx(full, rel=0.02)
        assert peak(quieter, 1) == pytest.approx(full * 0.2162, rel=0.05)


def test_callbacks_see_the_run_and_answer_blocks(tone):
    seen = []
    blocks = []
    stopped = threading.Event()
    with dar3.Player() as player:
        player.open(tone, buffer_ms=0)
        player.on(events.PLAY | events.STOP, lambda message, w, l: seen.append(message))
        player.on(events.STOP, lambda *args: stopped.set())

        def first_block_only(message, block, size):
            blocks.append(len(block))
            assert len(block) == size
            return events.BLOCK_STOP  # ends the run after one block

        player.on(events.WAVE_BUFFER, first_block_only)
        player.play()
        assert stopped.wait(10)
        assert seen == [events.PLAY, events.STOP]
        assert len(blocks) == 1 and blocks[0] > 0


def test_an_exception_in_a_callback_reaches_the_caller(tone):
    with dar3.Player() as player:
        player.open(tone, buffer_ms=0)

        def broken(message, block, size):
            raise ValueError("broken handler")

        player.on(events.WAVE_BUFFER, broken)
        with pytest.raises(dar3.CallbackError) as raised:
            player.decode()
        assert isinstance(raised.value.__cause__, ValueError)
        player.off(broken)
        player.seek(0)
        assert len(player.decode()) > 0  # the player works on


def test_devices_are_listed_and_bad_indexes_refused():
    with dar3.Player() as player:
        names = player.devices()
        assert names and all(names)
        player.set_device(None)
        player.set_device(len(names) - 1)
        with pytest.raises(dar3.Dar3Error, match="nIndex is out of bounds"):
            player.set_device(len(names) + 5)
