"""The .kgd reader: the header checked as the program checks it, the samples mapped."""

import errno
import functools
import math
import mmap
import os
import stat
import struct

import numpy as np

from ._texts import N_, tr

# The card's conversion clock and the stored unit: a sample is counts of 1/4096 V.
_CLOCK_HZ = 8_000_000
_COUNTS_PER_VOLT = 4096

_MAGIC = 0xA45D8F1C
_VERSION = 8
# Bytes before the identification text; the header is this plus the text's length.
_FIXED_HEADER = 123
# Scans of a set without a present input that the program accepts.
_BASE_CAPACITY = 200_000
_INT32_MAX = 2**31 - 1
# Everything after magic and version, up to the text length: current set, presence flags of
# both sets, the two sample counts, then the registered block and trigger in file order.
_HEAD = struct.Struct("<I16I2I2I2bI8b3bfhI")

# The program's own messages for a file it refuses.
_BAD_FORMAT = N_("Niepoprawny format pliku!")
_UNKNOWN_FORMAT = N_("Nieznany format pliku.")
_OPEN_FAILED = N_("Nie można otworzyć pliku %s.")
_NO_PANDAS = N_(
    "Metoda to_pandas() wymaga pakietu pandas (w Debianie: apt install python3-pandas)."
)
_READ_ERROR = N_("Błąd odczytu pliku")


class FormatError(ValueError):
    """The file is not a Kresograf recording, or it is broken or cut short.

    The message is the program's own ("Niepoprawny format pliku!" for a foreign or damaged
    header, "Nieznany format pliku." for a file that ends before the bytes it declares).
    """

    @property
    def title(self):
        """The title the program gives this message: "Błąd odczytu pliku"."""
        return tr(_READ_ERROR)


class Recording:
    """One recording: its samples, the inputs they come from and how they were taken.

    Attributes:
        path: the file read.
        counts: ``numpy.ndarray`` of ``int32``, shape (scans, inputs): the samples exactly as
            the file holds them (1/4096 V each), memory-mapped read-only from the file.
        inputs: the inputs present in the file, 1-based and ascending; the columns of
            ``counts``, ``volts`` and ``to_pandas()`` are in this order.
        params: the registered acquisition block and trigger as plain values: ``divisor``,
            ``prescaler``, ``channel_count``, ``single_ended`` (bool), ``total_samples``
            (conversions of the whole run), ``channels`` (the scan list, 1-based: inputs, or
            pairs when not single-ended), ``trigger_type`` ("analog" or "digital"),
            ``trigger_edge`` ("rising", "falling" or "auto"), ``trigger_channel`` (1-based),
            ``trigger_threshold`` (volts) and ``trigger_threshold_counts`` (card counts).
    """

    def __init__(self, path, counts, inputs, params):
        self.path = path
        self.counts = counts
        self.inputs = inputs
        self.params = params

    @property
    def rate_hz(self):
        """Conversions per second over all inputs: 8 000 000 / (divisor x prescaler).

        NaN when the file holds a divisor or prescaler of 0.
        """
        periods = self.params["divisor"] * self.params["prescaler"]
        return _CLOCK_HZ / periods if periods else math.nan

    @property
    def scan_rate_hz(self):
        """Scans per second, that is samples per second of each input."""
        return self.rate_hz / len(self.inputs) if self.inputs else math.nan

    @functools.cached_property
    def volts(self):
        """The samples in volts, float64: counts / 4096 exactly (computed once, then kept)."""
        return self.counts / _COUNTS_PER_VOLT

    @functools.cached_property
    def time(self):
        """Each scan's time in seconds from the start, float64, as the program's time axis has
        it: scan index x inputs x divisor x prescaler / 8 000 000."""
        scans = self.counts.shape[0]
        periods = len(self.inputs) * self.params["divisor"] * self.params["prescaler"]
        if scans and (scans - 1) * periods > np.iinfo(np.int64).max:
            return np.arange(scans, dtype=np.float64) * float(periods) / _CLOCK_HZ
        # Whole clock periods first, so every time is the correctly rounded quotient.
        return (np.arange(scans, dtype=np.int64) * periods).astype(np.float64) / _CLOCK_HZ

    def to_pandas(self):
        """A pandas DataFrame of the volts, indexed by the time in seconds ("czas [s]"), with one
        column per input named "kanał N". Needs pandas; raises ImportError without it."""
        try:
            import pandas
        except ImportError:
            raise ImportError(tr(_NO_PANDAS)) from None
        return pandas.DataFrame(
            self.volts,
            index=pandas.Index(self.time, name="czas [s]"),
            columns=[f"kanał {n}" for n in self.inputs],
        )

    def __repr__(self):
        return (
            f"Recording({self.path!r}, scans={self.counts.shape[0]}, inputs={self.inputs}, "
            f"rate_hz={self.rate_hz!r})"
        )


def read(path):
    """Open a .kgd recording and return a :class:`Recording`.

    The header is checked as the program checks it, and the samples are mapped only once the
    file is known to hold all of them. Raises :class:`FormatError` for a file that is not a
    recording, is broken or is cut short, and OSError (with the program's message) for a file
    that cannot be opened.
    """
    path = os.fspath(path)
    try:
        file = open(path, "rb")
    except OSError as error:
        raise type(error)(error.errno, tr(_OPEN_FAILED).replace("%s", path)) from None
    with file:
        info = os.fstat(file.fileno())
        if not stat.S_ISREG(info.st_mode):
            raise IsADirectoryError(errno.EISDIR, tr(_OPEN_FAILED).replace("%s", path))
        size = info.st_size
        head = file.read(12)
        if len(head) < 12:
            raise FormatError(tr(_UNKNOWN_FORMAT))
        header_size, magic, version = struct.unpack("<3I", head)
        # Magic and version decide alone: nothing after them is read from a foreign file.
        if magic != _MAGIC or version != _VERSION:
            raise FormatError(tr(_BAD_FORMAT))
        rest = file.read(_HEAD.size)
        if len(rest) < _HEAD.size:
            raise FormatError(tr(_UNKNOWN_FORMAT))
        fields = _HEAD.unpack(rest)
        current = fields[0]
        present = fields[1:17]
        count = fields[17]
        (divisor, prescaler, channel_count, single_ended, total) = fields[19:24]
        channels = fields[24:32]
        trigger_channel, trigger_type, edge, threshold, threshold_counts, text_length = fields[32:]

        if current > 1:
            raise FormatError(tr(_BAD_FORMAT))
        header_end = _FIXED_HEADER + text_length
        if header_end > size:
            raise FormatError(tr(_UNKNOWN_FORMAT))
        if header_size != header_end:
            raise FormatError(tr(_BAD_FORMAT))
        flags = present[8 * current : 8 * current + 8]
        inputs = tuple(c + 1 for c in range(8) if flags[c])
        width = len(inputs)
        if count and (
            count > _INT32_MAX
            or (count - 1) * width > _INT32_MAX
            or (width == 0 and count > _BASE_CAPACITY)
        ):
            raise FormatError(tr(_BAD_FORMAT))
        if 4 * count * width > size - header_end:
            raise FormatError(tr(_UNKNOWN_FORMAT))

        if count * width:
            mapped = mmap.mmap(file.fileno(), 0, access=mmap.ACCESS_READ)
            counts = np.frombuffer(mapped, dtype="<i4", count=count * width, offset=header_end)
            counts = counts.reshape(count, width)
        else:
            counts = np.empty((count, width), dtype="<i4")
            counts.flags.writeable = False

    params = {
        "divisor": divisor,
        "prescaler": prescaler,
        "channel_count": channel_count,
        "single_ended": bool(single_ended),
        "total_samples": total,
        "channels": [c + 1 for c in channels[: max(0, min(channel_count, 8))]],
        "trigger_type": "digital" if trigger_type else "analog",
        "trigger_edge": {0: "rising", 2: "auto"}.get(edge, "falling"),
        "trigger_channel": trigger_channel + 1,
        "trigger_threshold": threshold,
        "trigger_threshold_counts": threshold_counts,
    }
    return Recording(path, counts, inputs, params)
