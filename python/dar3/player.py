"""Player: one libdar3 player (an MP3_HANDLE) with Pythonic calls, and decode()."""
import ctypes
import threading

from dar3 import _native, events

_library = None
_library_lock = threading.Lock()


def _lib():
    global _library
    with _library_lock:
        if _library is None:
            _library = _native.load()
        return _library


class Dar3Error(Exception):
    """A call the library refused; the message is the library's own error text."""


class CallbackError(Dar3Error):
    """A Python callback raised; the exception it raised is the __cause__."""


def _ms(value):
    return _native.TIME(ms=int(value))


def _fields(record):
    return {name: getattr(record, name) for name, _ in record._fields_}


class Player:
    """A player. Each method raises Dar3Error with the library's text when the call fails."""

    def __init__(self):
        self._lib = _lib()
        self._handle = self._lib.Mp3_Initialize()
        if not self._handle:
            raise Dar3Error("Mp3_Initialize->Memory allocation error !")
        self._handlers = []
        self._failure = None
        self._lock = threading.Lock()
        # One C thunk per player, alive until the player is destroyed.
        self._thunk = _native.CALLBACK(self._dispatch)

    # -- life ------------------------------------------------------------------------------
    def destroy(self):
        """Stops playback and frees the player; later calls raise Dar3Error."""
        handle, self._handle = self._handle, None
        if handle:
            self._lib.Mp3_Destroy(handle)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.destroy()

    def __del__(self):
        if getattr(self, "_handle", None):
            self.destroy()

    @property
    def error(self):
        """The text of the last failure of this player."""
        buffer = ctypes.create_string_buffer(512)
        self._lib.Mp3_GetError(self._live(), buffer, len(buffer))
        return buffer.value.decode("utf-8", "replace")

    def _live(self):
        if not self._handle:
            raise Dar3Error("the player is destroyed")
        return self._handle

    def _call(self, name, *args):
        result = getattr(self._lib, name)(self._live(), *args)
        self._raise_callback_failure()
        if result == 0:
            raise Dar3Error(self.error)
        return result

    # -- opening ---------------------------------------------------------------------------
    def open(self, path, buffer_ms=1000, offset=0, size=0):
        """Opens a file (path as str or bytes). buffer_ms 0: no device, blocks go to the
        WAVE_BUFFER callback alone (what decode() uses). offset/size 0: the whole file."""
        name = path.encode() if isinstance(path, str) else bytes(path)
        self._call("Mp3_OpenFile", name, buffer_ms, offset, size)

    def open_bytes(self, data, buffer_ms=1000):
        """Opens an MP3 held in memory (the player keeps its own reference to it)."""
        self._data = ctypes.create_string_buffer(bytes(data), len(data))
        self._call("Mp3_OpenStream", 0, 0, self._data, len(data), buffer_ms)

    def close(self):
        self._call("Mp3_Close")

    # -- playback --------------------------------------------------------------------------
    def play(self):
        self._call("Mp3_Play")

    def play_loop(self, start_ms, end_ms, repeat=1):
        start, end = _ms(start_ms), _ms(end_ms)
        self._call("Mp3_PlayLoop", events.TIME_FORMAT_MS, ctypes.byref(start),
                   events.TIME_FORMAT_MS, ctypes.byref(end), repeat)

    def stop(self):
        """Ends playback and waits for its end; nothing happens when not playing."""
        if self._lib.Mp3_Stop(self._live()) == 0:
            # 0 means "not playing" too; only a closed player is a failure.
            self._call("Mp3_GetMp3Info", ctypes.byref(_native.STREAM_INFO()))
        self._raise_callback_failure()

    def pause(self):
        self._call("Mp3_Pause")

    def resume(self):
        self._call("Mp3_Resume")

    def seek(self, ms):
        """Moves to `ms` from the start; a playing run stops, the next play() starts there."""
        time = _ms(ms)
        self._call("Mp3_Seek", events.TIME_FORMAT_MS, ctypes.byref(time), events.MOVE_FROM_START)

    @property
    def position(self):
        """Milliseconds played from the start of the song."""
        time = _native.TIME()
        self._call("Mp3_GetPosition", ctypes.byref(time))
        return time.ms

    @property
    def length(self):
        """The song's length in milliseconds."""
        time = _native.TIME()
        self._call("Mp3_GetSongLength", ctypes.byref(time))
        return time.ms

    @property
    def info(self):
        """The stream's format: sample_rate, channels, bitrate (kbit/s), layer, vbr, ..."""
        info = _native.STREAM_INFO()
        self._call("Mp3_GetMp3Info", ctypes.byref(info))
        return _fields(info)

    @property
    def status(self):
        status = _native.STATUS()
        self._call("Mp3_GetStatus", ctypes.byref(status))
        return {name: bool(value) for name, value in _fields(status).items()}

    @property
    def tags(self):
        """The ID3 fields as a dict of str; ID3v2 values win over ID3v1 ones."""
        result = {}
        for version in (events.ID3_TAG_V1, events.ID3_TAG_V2):
            fields = _native.ID3_FIELDS()
            if not self._lib.Mp3_LoadID3(self._live(), version, ctypes.byref(fields)):
                continue
            for name, value in _fields(fields).items():
                if value:
                    result[name] = value.decode("utf-8", "replace")
        return result

    # -- volume and effects ----------------------------------------------------------------
    @property
    def volume(self):
        """The player's own volume, (left, right) in percent."""
        left, right = ctypes.c_int(), ctypes.c_int()
        self._call("Mp3_GetPlayerVolume", ctypes.byref(left), ctypes.byref(right))
        return left.value, right.value

    @volume.setter
    def volume(self, value):
        left, right = (value, value) if isinstance(value, (int, float)) else value
        self._call("Mp3_SetPlayerVolume", int(left), int(right))

    def vocal_cut(self, enable=True):
        self._call("Mp3_VocalCut", int(enable))

    def reverse(self, enable=True):
        self._call("Mp3_ReverseMode", int(enable))

    def mix_channels(self, enable=True, left_percent=50, right_percent=50):
        self._call("Mp3_MixChannels", int(enable), left_percent, right_percent)

    def echo(self, enable=True, mode=0, delay_ms=300, input_gain=0, echo_gain=0, output_gain=0):
        """Echo: mode 0..9, delay in milliseconds (0..1000), gains in dB (input, echo, output)."""
        self._call("Mp3_SetSfxParam", int(enable), mode, delay_ms, input_gain, echo_gain, output_gain)

    def equalizer(self, gains, preamp=0, fft=False):
        """Equalizer gains in dB per band (10 bands unless CreateEqBands chose others); an
        empty list switches it off."""
        if not gains:
            self._call("Mp3_EnableEQ", 0, int(fft))
            return
        values = (ctypes.c_int * len(gains))(*gains)
        self._call("Mp3_SetEQParam", int(fft), preamp, values, len(gains))
        self._call("Mp3_EnableEQ", 1, int(fft))

    def fade(self, fade_in, ms):
        time = _ms(ms)
        self._call("Mp3_FadeVolume", events.FADE_IN if fade_in else events.FADE_OUT,
                   events.TIME_FORMAT_MS, ctypes.byref(time))

    @property
    def vu(self):
        """The VU meter, (left, right) from 0 to 100."""
        left, right = ctypes.c_uint(), ctypes.c_uint()
        self._call("Mp3_GetVUData", ctypes.byref(left), ctypes.byref(right))
        return left.value, right.value

    # -- devices ---------------------------------------------------------------------------
    def devices(self):
        """The wave-output devices' names, by index."""
        count = self._call("Mp3_EnumerateWaveOut")
        names = []
        for index in range(count):
            info = _native.WAVE_OUT_INFO()
            self._call("Mp3_GetWaveOutInfo", index, ctypes.byref(info))
            names.append(info.product_name.decode("utf-8", "replace"))
        return names

    def set_device(self, index=None):
        """Chooses the device of the next open; None: the default device."""
        self._call("Mp3_SetWaveOutDevice", events.WAVE_MAPPER if index is None else index)

    # -- callbacks -------------------------------------------------------------------------
    def on(self, mask, function):
        """Calls function(message, wparam, lparam) for the messages in `mask` (events.*), on the
        player's callback thread; for WAVE_BUFFER wparam is the block as bytes. The value it
        returns answers a synchronous message (None: 0). An exception it raises is kept and
        raised as CallbackError by the player's next call. Returns `function`."""
        with self._lock:
            self._handlers.append((mask, function))
        self._register()
        return function

    def off(self, function):
        with self._lock:
            self._handlers = [(m, f) for m, f in self._handlers if f is not function]
        self._register()

    def _register(self):
        with self._lock:
            mask = 0
            for handler_mask, _ in self._handlers:
                mask |= handler_mask
        self._call("Mp3_SetCallbackFunc", self._thunk if mask else _native.CALLBACK(), mask)

    def _dispatch(self, message, wparam, lparam):
        # Nothing may escape into the C library's thread.
        try:
            if message == events.WAVE_BUFFER:
                wparam = ctypes.string_at(wparam, lparam) if wparam and lparam > 0 else b""
            with self._lock:
                handlers = list(self._handlers)
            answer = 0
            for mask, function in handlers:
                if mask & message:
                    result = function(message, wparam, lparam)
                    if result is not None:
                        answer = int(result)
            return answer
        except BaseException as error:  # noqa: B036 - a KeyboardInterrupt must not reach C either
            with self._lock:
                if self._failure is None:
                    self._failure = error
            return events.BLOCK_STOP if message == events.WAVE_BUFFER else 0

    def _raise_callback_failure(self):
        with self._lock:
            failure, self._failure = self._failure, None
        if failure is not None:
            raise CallbackError(f"a callback raised {failure!r}") from failure

    # -- decoding --------------------------------------------------------------------------
    def decode(self):
        """Decodes the open song from the current position to its end, with the effects set,
        and returns the PCM: bytes of 16-bit little-endian stereo at info["sample_rate"]."""
        pcm = bytearray()
        stopped = threading.Event()

        def sink(message, block, _size):
            if message == events.WAVE_BUFFER:
                pcm.extend(block)
                return events.BLOCK_CONSUMED
            stopped.set()
            return 0

        self.on(events.WAVE_BUFFER | events.STOP, sink)
        try:
            self.play()
            # The status covers a run that ended before the stop notice was sent.
            while not stopped.wait(0.05) and self.status["playing"]:
                pass
            self.stop()
        finally:
            self.off(sink)
        return bytes(pcm)


def decode(path):
    """(pcm, sample_rate) of a whole file: 16-bit little-endian stereo bytes."""
    with Player() as player:
        player.open(path, buffer_ms=0)
        return player.decode(), player.info["sample_rate"]
