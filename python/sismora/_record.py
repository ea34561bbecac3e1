"""Records read through libsismora: samples as numpy arrays, the header as Python values."""

import ctypes
import datetime
import json
import math
import os
import weakref
from typing import Any, Dict, Iterable, List, NamedTuple, Optional, Sequence, Union

import numpy as np

import sismcalc
from sismcalc import ResponseSpectrum

from ._library import library


class SismoraError(Exception):
    """A record that could not be read, preprocessed or measured: the message is the program's."""


class Station(NamedTuple):
    """Where the record was taken. Latitude and longitude in degrees, elevation in m; None
    where the file gives none."""
    code: str
    name: str
    latitude: Optional[float]
    longitude: Optional[float]
    elevation: Optional[float]


class Channel(NamedTuple):
    """One channel: its label, the azimuth in degrees from north (None for a vertical or an
    unknown direction), whether it is vertical, its peak (cm/s/s) and the strong-motion
    duration (s)."""
    label: str
    azimuth: Optional[float]
    vertical: bool
    peak: float
    duration: Optional[float]


class FourierSpectrum(NamedTuple):
    """Fourier amplitude spectra |X(f)| (cm/s for acceleration in cm/s/s), one column per
    channel, at `frequencies` Hz."""
    frequencies: np.ndarray
    amplitudes: np.ndarray


class RotD(NamedTuple):
    """RotD spectra of a horizontal pair: values[j] at percentiles[j], in cm/s/s, at `periods`
    s; `channels` the pair (1-based)."""
    periods: np.ndarray
    percentiles: np.ndarray
    values: np.ndarray
    channels: tuple


def _text(b: Optional[bytes]) -> str:
    return b.decode("utf-8", "replace") if b else ""


def _options(options: Dict[str, Any]) -> bytes:
    """Keyword options as the library's "key=value" lines."""
    lines = []
    for key, value in options.items():
        if value is None:
            continue
        if isinstance(value, bool):
            value = "yes" if value else "no"
        elif isinstance(value, (list, tuple, np.ndarray)):
            value = ",".join(repr(float(v)) for v in value)
        elif isinstance(value, os.PathLike):
            value = os.fspath(value)
        value = str(value)
        if "\n" in value or ";" in value:
            raise ValueError(f"option {key} must not hold a line break or ';': {value!r}")
        lines.append(f"{key}={value}")
    return "\n".join(lines).encode()


def _key_values(text: str) -> Dict[str, str]:
    out = {}
    for line in text.splitlines():
        key, sep, value = line.partition("=")
        if sep:
            out[key] = value
    return out


def _number(text: Optional[str]) -> Optional[float]:
    try:
        v = float(text)
    except (TypeError, ValueError):
        return None
    return v if math.isfinite(v) else None


def _value(text: str) -> Union[None, int, float, str]:
    """A flatfile field as a Python value: None when empty, a number when it is one."""
    if text == "":
        return None
    try:
        return int(text)
    except ValueError:
        pass
    v = _number(text)
    return text if v is None else v


class Record:
    """One strong-motion record as Sismora reads it.

    data: float32 array of shape (samples, channels) in cm/s/s (each column contiguous);
    dt: step in s (1 / rate); rate: samples per second; start: datetime of the first sample,
    time-zone aware when the format states the zone (UTC for miniSEED, SAC, ESM, COSMOS and
    GeoNet, JST for K-NET, KiK-net and the JMA formats), None when the file gives no time;
    channels: list of Channel; station: Station; event: dict of the event fields the file
    gives (origin_time a datetime, latitude and longitude in degrees, depth_km, magnitude;
    K-NET and KiK-net headers give them, other formats none yet); format: the format's
    name; provenance: dict (path, reader, library, preprocessing, reading notes, and for a
    record made by process() the processing's provenance); metadata: every header field as
    text. flags and rejected: what process() found (none and False for a record as read).
    """

    def __init__(self, handle: int, path: str, processing: Optional[Dict[str, Any]] = None):
        self._handle = handle
        self._finalizer = weakref.finalize(self, library().sismora_free, handle)
        self.path = path
        self._processing = processing
        self._refresh()

    def _error(self) -> SismoraError:
        return SismoraError(_text(library().sismora_error(self._handle)))

    def _refresh(self):
        lib = library()
        h = self._handle
        n, c = lib.sismora_sample_count(h), lib.sismora_channel_count(h)
        block = np.empty((c, n), dtype=np.float32)
        if c and n:
            lib.sismora_all_samples(h, block.ctypes.data_as(ctypes.POINTER(ctypes.c_float)), block.size)
        self.data = block.T
        self.rate = lib.sismora_rate(h)
        self.dt = float(lib.sismora_dt(h))
        text = lib.sismora_metadata(h)
        if text is None:
            raise self._error()
        self.metadata = _key_values(_text(text))
        m = self.metadata
        self.format = m.get("format", "")
        self.start = self._start(m)
        self.station = Station(m.get("station.code", ""), m.get("station.name", ""),
                               _number(m.get("station.latitude")), _number(m.get("station.longitude")),
                               _number(m.get("station.elevation")))
        self.channels = [Channel(m.get(f"channel.{k}.label", ""), _number(m.get(f"channel.{k}.azimuth")),
                                 m.get(f"channel.{k}.vertical") == "yes", _number(m.get(f"channel.{k}.peak")) or 0.0,
                                 _number(m.get(f"channel.{k}.duration")))
                         for k in range(1, c + 1)]
        texts = ("event.id", "event.magnitude_type")
        self.event = {k[len("event."):]: (self._time(v, m) if k == "event.origin_time" else v if k in texts
                                          else _number(v))
                      for k, v in m.items() if k.startswith("event.")}
        self.provenance = {"path": m.get("path", self.path)}
        self.provenance.update({k[len("provenance."):]: v for k, v in m.items() if k.startswith("provenance.")})
        p = self._processing or {}
        self.provenance.update(p)
        self.rejected = p.get("status") == "rejected"
        # As the flatfile's qa_flags names them: the check, and "@channel" for one channel's.
        self.flags = [f["name"] + (f"@{f['channel']}" if f.get("channel") else "") for f in p.get("flags", [])]
        self.jma_intensity = _number(m.get("jma_intensity"))

    @staticmethod
    def _start(m: Dict[str, str]) -> Optional[datetime.datetime]:
        return Record._time(m["start"], m) if "start" in m else None

    @staticmethod
    def _time(text: str, m: Dict[str, str]) -> Optional[datetime.datetime]:
        """An ISO 8601 time of the header, in the zone the format states (utc_offset)."""
        try:
            when = datetime.datetime.fromisoformat(text)
        except ValueError:
            return None
        offset = m.get("utc_offset")
        if offset:
            hours, minutes = int(offset[:3]), int(offset[0] + offset[4:6])
            when = when.replace(tzinfo=datetime.timezone(datetime.timedelta(hours=hours, minutes=minutes)))
        return when

    def __repr__(self):
        return (f"<sismora.Record {self.format} {self.station.code or '?'}: {len(self.channels)} channels, "
                f"{self.data.shape[0]} samples at {self.rate} Hz>")

    # ---- Processing ----

    def preprocess(self, **options) -> "Record":
        """Applies Sismora's preprocessing chain to the record in place and returns it.

        With no options: the program's defaults (the mean of the first second removed). Options:
        skip_seconds (s), length (s kept), rotate ("none", "north" or degrees), multipliers
        ("1:1:0.5"), remove_offset (whole seconds of the mean; 0: off), meter (True: samples in
        m/s/s), low_cut and high_cut (Hz, band-pass), filter ("fft", "butterworth" or
        "butterworth_zero_phase"), order (1 to 12), keep_pad (True: the filter's pads stay),
        sensor (the intensity's sensor, 1-based). Raises SismoraError when it cannot be applied
        (the record is then unchanged) and ValueError for an option that does not read.
        """
        if library().sismora_preprocess(self._handle, _options(options)) != 1:
            raise _value_or_sismora(self._error())
        self._refresh()
        return self

    def metrics(self, **options) -> Dict[str, Union[None, int, float, str]]:
        """The ground-motion metrics as the row of Sismora's flatfile: a dict from the
        flatfile's column names (file, format, station, ..., H1_PGA in cm/s/s, H1_PGV in cm/s,
        H1_Arias in m/s, H1_Sa(T) in cm/s/s, RotD50_Sa(T), ...) to numbers (None where empty)
        or texts. Options: periods (s), damping (percent), steps, level (cm/s/s),
        ductilities, file (the file column; default the path as read).
        """
        text = library().sismora_metrics(self._handle, _options(options))
        if text is None:
            raise _value_or_sismora(self._error())
        return {k: _value(v) for k, v in _key_values(_text(text)).items()}

    def process(self, **options) -> "Record":
        """Sismora's automatic processing of the record: checks (samples, rate, dead channels,
        amplitudes, clipping), P-wave onset, signal-to-noise ratio and the corners it gives,
        the high-pass corner raised until the displacement's polynomial fit is small,
        zero-phase Butterworth band-pass and polynomial baseline, then checks of the final
        velocity, displacement and tail.

        Returns a new Record of the processed samples (cm/s/s); this one is left as it is.
        Its provenance holds the processing's provenance (status "passed",
        "passed_with_warnings" or "rejected", onset_s, per channel the corners high_pass_hz
        and low_pass_hz, flags, steps) besides the reading's; flags lists the failed checks.
        A record the chain rejects is returned too, not raised: rejected is then True, flags
        say why, and its samples are as the chain left them (as read when it stopped before
        the filter), so a loop over many records can sort them without try.

        Options are the parameters of the settings section "Processing", by their key in
        snake case or as stored: min_samples, snr_threshold (the signal-to-noise ratio the
        band keeps), band_min and band_max (Hz), filter_order, baseline_degree,
        raise_high_pass (bool), max_final_velocity (cm/s), reject_on_flag (0: keep records
        with warnings), ...; the rest keep the program's defaults. Raises ValueError for an
        option that does not read.
        """
        out = ctypes.c_char_p()
        handle = library().sismora_process(self._handle, _options(options), ctypes.byref(out))
        if not handle:
            raise _value_or_sismora(self._error())
        # The text belongs to the new record: copied before anything else is asked of it.
        provenance = json.loads(_text(out.value))
        return Record(handle, self.path, provenance)

    def response_spectrum(self, periods: Sequence[float], damping: float = 0.05, nstep: int = 32
                          ) -> ResponseSpectrum:
        """Response spectra of every channel at `periods` (s), damping a fraction of critical,
        the maxima also between the samples (nstep sub-steps; 0: at the samples only), as the
        program computes them. Arrays of shape (periods, channels)."""
        periods = np.ascontiguousarray(periods, dtype=np.float32)
        cols = [sismcalc.response_spectrum(self._column(k), self.dt, periods, damping, nstep)
                for k in range(len(self.channels))]
        return ResponseSpectrum(periods, *(_columns([getattr(c, f) for c in cols], len(periods))
                                           for f in ("sd", "sv", "sa", "psv", "ve")))

    def fourier(self, smoothing: Union[None, float, str] = None, b: float = 40.0) -> FourierSpectrum:
        """Fourier amplitude spectra |X(f)| = |sum x e^(-2 pi i f t)| dt in cm/s, shape
        (frequencies, channels), the record padded with zeros to a power of two; smoothing:
        None, a Parzen window's band width in Hz, or "konno" (Konno-Ohmachi of coefficient b)."""
        n = max(self.data.shape[0], 1)
        p = sismcalc.padded_length(n)
        freqs = (np.arange(p // 2) / (p * self.dt)).astype(np.float32)
        cols = [sismcalc.fourier(self._column(k), self.dt, smoothing, b).amplitude for k in range(len(self.channels))]
        return FourierSpectrum(freqs, _columns(cols, len(freqs)))

    def rotd(self, periods: Sequence[float], percentiles: Sequence[float] = (50, 100), damping: float = 0.05,
             channels: Optional[tuple] = None, nstep: int = 32) -> RotD:
        """RotD spectra (cm/s/s) of a horizontal pair at `periods` (s) and `percentiles`
        (0 to 100): values of shape (percentiles, periods); channels (1-based) default the
        first two horizontal ones."""
        if channels is None:
            horizontal = [k + 1 for k, c in enumerate(self.channels) if not c.vertical]
            if len(horizontal) < 2:
                raise ValueError("the record has no horizontal pair; name two channels")
            channels = tuple(horizontal[:2])
        x, y = (self._column(ch - 1) for ch in channels)
        r = sismcalc.rotd(x, y, self.dt, periods, percentiles, damping, nstep)
        return RotD(r.periods, r.percentiles, r.values, tuple(channels))

    def to_obspy(self):
        """The record as an ObsPy Stream, one Trace per channel in cm/s/s (stats.units), the
        start in UTC (a time without a zone taken as UTC)."""
        try:
            from obspy import Stream, Trace, UTCDateTime
        except ImportError:
            raise ImportError("sismora: to_obspy needs ObsPy (python3-obspy)") from None
        start = self.start or datetime.datetime(1970, 1, 1)
        if start.tzinfo is not None:
            start = start.astimezone(datetime.timezone.utc).replace(tzinfo=None)
        parts = self.station.code.split(".")
        traces = []
        for k, c in enumerate(self.channels):
            tr = Trace(data=np.array(self.data[:, k], dtype=np.float32))
            tr.stats.sampling_rate = float(self.rate)
            tr.stats.starttime = UTCDateTime(start)
            tr.stats.network = parts[0] if len(parts) > 1 else ""
            tr.stats.station = parts[1] if len(parts) > 1 else self.station.code
            tr.stats.channel = c.label
            tr.stats.units = "cm/s/s"
            traces.append(tr)
        return Stream(traces)

    def _column(self, k: int) -> np.ndarray:
        return np.ascontiguousarray(self.data[:, k])


def _columns(arrays, rows):
    return np.stack(arrays, axis=1) if arrays else np.empty((rows, 0), np.float32)


def _value_or_sismora(e: SismoraError) -> Exception:
    """A bad option is the caller's ValueError; anything else the record's SismoraError."""
    text = str(e)
    return ValueError(text) if text.startswith(("option ", "unknown option")) else e


def read(path: Union[str, os.PathLike], **options) -> Record:
    """Reads a record file of any format Sismora reads (the other files of a set, such as the
    components of a K-NET record, with it).

    Options answer what the program would ask: station ("NET.STA.LOC.BAND" among several in a
    seismometer set) or station and band; stationxml (the response of counts, default the file
    beside the data); differentiate (True: velocity channels into acceleration); the layout of
    a general data or CSV file: skip, count, rate, channels, coef, start, width, columns,
    label_line, neglect_first (default the guessed layout). The samples are as read: apply
    Record.preprocess() for the program's preprocessing.

    Raises SismoraError with the program's message when the file cannot be read.
    """
    lib = library()
    path = os.fspath(path)
    handle = lib.sismora_open(os.fsencode(path), _options(options))
    if not handle:
        raise MemoryError("sismora: out of memory")
    error = _text(lib.sismora_error(handle))
    if error:
        lib.sismora_free(handle)
        if error.startswith(("option ", "unknown option")):
            raise ValueError(error)
        raise SismoraError(error)
    return Record(handle, path)


def list_records(folder: Union[str, os.PathLike]) -> List[str]:
    """The record files under `folder`, in path order, one for each set of files, as the
    flatfile tool lists them."""
    lib = library()
    name = os.fsencode(os.fspath(folder))
    size = lib.sismora_list_records(name, None, 0)
    buf = ctypes.create_string_buffer(size + 1)
    lib.sismora_list_records(name, buf, size + 1)
    return [os.fsdecode(line) for line in buf.value.split(b"\n") if line]


def read_many(folder: Union[str, os.PathLike, Iterable], jobs: int = 1, on_error: str = "raise", **options):
    """Yields the records under `folder` (or of the files of an iterable) in path order,
    reading up to `jobs` at a time on threads (the library releases Python while it reads).

    on_error: "raise" (the first unreadable file raises SismoraError when its turn comes) or
    "skip". Options as in read().
    """
    from concurrent.futures import ThreadPoolExecutor

    if on_error not in ("raise", "skip"):
        raise ValueError(f"on_error must be 'raise' or 'skip', not {on_error!r}")
    if isinstance(folder, (str, os.PathLike)):
        files = list_records(folder) if os.path.isdir(folder) else [os.fspath(folder)]
    else:
        files = [os.fspath(f) for f in folder]
    jobs = max(1, int(jobs))

    def one(path):
        try:
            return read(path, **options)
        except SismoraError as e:
            return e

    with ThreadPoolExecutor(max_workers=jobs) as pool:
        # A window of work ahead keeps memory bounded on large folders.
        pending = [pool.submit(one, f) for f in files[:2 * jobs]]
        following = iter(files[2 * jobs:])
        while pending:
            result = pending.pop(0).result()
            nxt = next(following, None)
            if nxt is not None:
                pending.append(pool.submit(one, nxt))
            if isinstance(result, SismoraError):
                if on_error == "raise":
                    raise result
                continue
            yield result
