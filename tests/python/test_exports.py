import h5py
import numpy as np
import pandas

from conftest import DIVISOR, raw_counts, run, scan_seconds


def test_csv_gives_the_samples_back_to_pandas(recording, tmp_path):
    out = tmp_path / "run.csv"
    done = run("export", recording, out, "--time")
    assert done.returncode == 0, done.stderr
    raw = raw_counts(recording)
    data = out.read_bytes()
    assert b"\r" not in data and b",\n" not in data and data.endswith(b"\n")

    frame = pandas.read_csv(out)
    assert list(frame.columns) == ["czas [ms]", "kanał 1 [V]", "kanał 2 [V]", "kanał 7 [V]"]
    volts = frame.iloc[:, 1:].to_numpy()
    assert np.array_equal(np.round(volts * 4096), raw)
    assert np.abs(frame["czas [ms]"] - scan_seconds(len(raw)) * 1000).max() < 1e-9


def test_hdf5_holds_the_samples_time_and_block(recording, tmp_path):
    out = tmp_path / "run.h5"
    done = run("export", recording, out)
    assert done.returncode == 0, done.stderr
    raw = raw_counts(recording)
    with h5py.File(out, "r") as f:
        volts, time = f["volts"], f["time"]
        assert volts.dtype == np.float64 and volts.shape == raw.shape
        assert volts.chunks is not None and volts.compression == "gzip"
        assert np.array_equal(volts[()] * 4096, raw)
        assert time.dtype == np.float64 and np.array_equal(time[()], scan_seconds(len(raw)))
        attrs = dict(f.attrs)
    assert list(attrs.pop("inputs")) == [1, 2, 7]
    assert attrs == {
        "rate_hz": 8_000_000 / DIVISOR, "divisor": DIVISOR, "prescaler": 1, "single_ended": 1,
        "trigger": "Wyzwalanie analogowe; Kanał: 1; Zbocze: narastające; Próg: 0.500 V",
        "source_file": "run.kgd",
    }
