"""MP3 files made for the tests with sox and lame (both in deps.sh)."""
import subprocess

import pytest


def encode(folder, name, synth, extra=()):
    wav = folder / (name + ".wav")
    mp3 = folder / (name + ".mp3")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", str(wav), "synth", *synth],
                   check=True)
    subprocess.run(["lame", "--quiet", "-b", "128", *extra, str(wav), str(mp3)], check=True)
    return mp3


@pytest.fixture(scope="session")
def tone(tmp_path_factory):
    """Two seconds of a 440 Hz sine, the same in both channels, with ID3 tags."""
    return encode(tmp_path_factory.mktemp("mp3"), "tone", ["2", "sine", "440"],
                  ["--tt", "Noční píseň", "--ta", "Jed", "--tl", "Grimstorm", "--ty", "2026",
                   "--id3v2-only", "--id3v2-utf16"])


@pytest.fixture(scope="session")
def left_only(tmp_path_factory):
    """One second of a sine in the left channel only."""
    return encode(tmp_path_factory.mktemp("mp3"), "left", ["1", "sine", "440", "sine", "0"],
                  ["-m", "s"])
