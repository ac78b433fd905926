import os
import sys

import numpy as np
import pytest

import kresograf
from conftest import DIVISOR, INPUTS, raw_counts, scan_seconds


def test_read_maps_the_samples_with_their_time_and_block(recording):
    r = kresograf.read(recording)
    raw = raw_counts(recording)
    assert len(raw) > 16384
    assert r.counts.dtype == np.int32 and not r.counts.flags.writeable
    assert np.array_equal(r.counts, raw)
    assert np.array_equal(r.volts, raw / 4096)
    # The simulated card: input 7 at -1.5 V (count -614 at gain x1), input 2 a square of +-2 V.
    assert set(np.unique(r.counts[:, 2])) == {-6140}
    assert set(np.unique(r.counts[:, 1])) == {-8190, 8190}
    assert r.inputs == INPUTS
    assert r.rate_hz == 8_000_000 / DIVISOR and r.scan_rate_hz == r.rate_hz / 3
    assert np.array_equal(r.time, scan_seconds(len(raw)))
    assert r.params == {
        "divisor": DIVISOR, "prescaler": 1, "channel_count": 3, "single_ended": True,
        "total_samples": r.params["total_samples"], "channels": [1, 2, 7],
        "trigger_type": "analog", "trigger_edge": "rising", "trigger_channel": 1,
        "trigger_threshold": 0.5, "trigger_threshold_counts": 204,
    }
    frame = r.to_pandas()
    assert list(frame.columns) == ["kanał 1", "kanał 2", "kanał 7"]
    assert np.array_equal(frame.index, r.time) and np.array_equal(frame.to_numpy(), r.volts)


def test_broken_and_truncated_files_are_refused(recording, tmp_path):
    good = recording.read_bytes()

    def patched(at, value):
        data = bytearray(good)
        data[at : at + 4] = value.to_bytes(4, "little")
        return bytes(data)

    cases = {
        b"": "Nieznany format pliku.",
        good[:50]: "Nieznany format pliku.",
        good[:-1]: "Nieznany format pliku.",
        patched(119, 0xFFFFFFFF): "Nieznany format pliku.",
        patched(4, 0): "Niepoprawny format pliku!",
        patched(8, 7): "Niepoprawny format pliku!",
        patched(0, 377): "Niepoprawny format pliku!",
        patched(12, 2): "Niepoprawny format pliku!",
    }
    path = tmp_path / "broken.kgd"
    for data, message in cases.items():
        path.write_bytes(data)
        with pytest.raises(kresograf.FormatError, match=message):
            kresograf.read(path)
    with pytest.raises(FileNotFoundError, match="Nie można otworzyć pliku"):
        kresograf.read(tmp_path / "missing.kgd")


def test_to_pandas_without_pandas(recording, monkeypatch):
    monkeypatch.setitem(sys.modules, "pandas", None)
    with pytest.raises(ImportError, match="wymaga pakietu pandas"):
        kresograf.read(recording).to_pandas()


def test_messages_follow_the_users_first_language(tmp_path, monkeypatch):
    monkeypatch.setattr(kresograf._texts, "CATALOGUE_DIRS", [os.environ["KRESOGRAF_TEST_LOCALE"]])
    path = tmp_path / "foreign.kgd"
    path.write_bytes(b"just some text, not a recording at all")
    for language, message in (("en_US", "Invalid file format!"), ("pl:en", "Niepoprawny format")):
        monkeypatch.setenv("LANGUAGE", language)
        with pytest.raises(kresograf.FormatError, match=message) as raised:
            kresograf.read(path)
    assert raised.value.title == "Błąd odczytu pliku"
    monkeypatch.setenv("LANGUAGE", "en")
    with pytest.raises(FileNotFoundError, match="Cannot open the file .*missing.kgd."):
        kresograf.read(tmp_path / "missing.kgd")
