"""The C library: loading it and the prototypes of its Mp3_ functions (dar3/dar3.h)."""
import ctypes
import os
from pathlib import Path

SONAME = "libdar3.so.2"
# Points at a libdar3 of a build tree, or any other copy, instead of the installed one.
LIBRARY_VARIABLE = "DAR3_LIBRARY"


class TIME(ctypes.Structure):
    _fields_ = [(name, ctypes.c_uint32) for name in (
        "ms", "sec", "bytes", "frames", "hms_hour", "hms_minute", "hms_second", "hms_millisecond")]


class STREAM_INFO(ctypes.Structure):
    _fields_ = [(name, ctypes.c_int32) for name in (
        "version", "layer", "channel_mode", "emphasis", "sample_rate", "header_size", "channels",
        "vbr", "bitrate")]


class STATUS(ctypes.Structure):
    _fields_ = [(name, ctypes.c_int32) for name in (
        "playing", "paused", "stopped", "echo", "echo_mode", "fft_eq", "subband_eq", "vocal_cut",
        "channel_mix", "fade_in", "fade_out", "internal_volume", "loop", "reverse")]


class WAVE_OUT_INFO(ctypes.Structure):
    _fields_ = [("manufacturer_id", ctypes.c_int32), ("product_id", ctypes.c_int32),
                ("driver_version", ctypes.c_int32), ("formats", ctypes.c_uint32),
                ("channels", ctypes.c_int32), ("support", ctypes.c_uint32),
                ("product_name", ctypes.c_char * 32)]


class ID3_FIELDS(ctypes.Structure):
    _fields_ = [(name, ctypes.c_char_p) for name in (
        "title", "artist", "album", "year", "comment", "track", "genre")]


CALLBACK = ctypes.CFUNCTYPE(ctypes.c_int32, ctypes.c_uint32, ctypes.c_ssize_t, ctypes.c_ssize_t)

_handle = ctypes.c_void_p
_int = ctypes.c_int
_uint = ctypes.c_uint
_int_p = ctypes.POINTER(ctypes.c_int)
_uint_p = ctypes.POINTER(ctypes.c_uint)
_time_p = ctypes.POINTER(TIME)

# name: (result, arguments after the handle)
_PROTOTYPES = {
    "Mp3_Initialize": (_handle, None),
    "Mp3_Destroy": (_int, []),
    "Mp3_GetError": (_int, [ctypes.c_char_p, _int]),
    "Mp3_GetVersion": (_int, []),
    "Mp3_OpenFile": (_int, [ctypes.c_char_p, _int, _uint, _uint]),
    "Mp3_OpenStream": (_int, [_int, _int, ctypes.c_void_p, _uint, _int]),
    "Mp3_Close": (_int, []),
    "Mp3_Play": (_int, []),
    "Mp3_PlayLoop": (_int, [_int, _time_p, _int, _time_p, _int]),
    "Mp3_Seek": (_int, [_int, _time_p, _int]),
    "Mp3_ReverseMode": (_int, [_int]),
    "Mp3_Stop": (_int, []),
    "Mp3_Pause": (_int, []),
    "Mp3_Resume": (_int, []),
    "Mp3_GetPosition": (_int, [_time_p]),
    "Mp3_SetPlayerVolume": (_int, [_uint, _uint]),
    "Mp3_GetPlayerVolume": (_int, [_int_p, _int_p]),
    "Mp3_GetMp3Info": (_int, [ctypes.POINTER(STREAM_INFO)]),
    "Mp3_GetSongLength": (_int, [_time_p]),
    "Mp3_GetStatus": (_int, [ctypes.POINTER(STATUS)]),
    "Mp3_MixChannels": (_int, [_int, _uint, _uint]),
    "Mp3_GetVUData": (_int, [_uint_p, _uint_p]),
    "Mp3_VocalCut": (_int, [_int]),
    "Mp3_FadeVolume": (_int, [_int, _int, _time_p]),
    "Mp3_EnableEQ": (_int, [_int, _int]),
    "Mp3_SetEQParam": (_int, [_int, _int, _int_p, _int]),
    "Mp3_LoadID3": (_int, [_int, ctypes.POINTER(ID3_FIELDS)]),
    "Mp3_SetSfxParam": (_int, [_int, _int, _int, _int, _int, _int]),
    "Mp3_SetCallbackFunc": (_int, [CALLBACK, _uint]),
    "Mp3_GetFFTValues": (_int, [_int, _int, _int, _int_p, _int_p, _int_p, _int_p, _int_p, _int_p]),
    "Mp3_EnumerateWaveOut": (_int, []),
    "Mp3_GetWaveOutInfo": (_int, [_uint, ctypes.POINTER(WAVE_OUT_INFO)]),
    "Mp3_SetWaveOutDevice": (_int, [_uint]),
}


def _candidates():
    override = os.environ.get(LIBRARY_VARIABLE)
    if override:
        return [override]
    # Installed under a prefix: <prefix>/lib/python3/dist-packages/dar3 beside <prefix>/lib.
    beside = Path(__file__).resolve().parents[3] / SONAME
    return ([str(beside)] if beside.is_file() else []) + [SONAME]


def load():
    """The library with its prototypes declared; OSError names every place tried."""
    errors = []
    for candidate in _candidates():
        try:
            library = ctypes.CDLL(candidate)
            break
        except OSError as error:
            errors.append(str(error))
    else:
        raise OSError("libdar3 not found: " + "; ".join(errors))
    for name, (result, arguments) in _PROTOTYPES.items():
        function = getattr(library, name)
        function.restype = result
        function.argtypes = [] if arguments is None else [_handle] + arguments
    return library
