"""A recording made by kresograf-cli on the simulated card, shared by the tests."""

import os
import struct
import subprocess

import numpy as np
import pytest

# 95 000 Hz over inputs 1, 2 and 7: several blocks and chunks of every export.
DIVISOR = 84
INPUTS = (1, 2, 7)


def run(*args):
    return subprocess.run(
        [os.environ["KRESOGRAF_CLI"], *map(str, args)], capture_output=True, text=True
    )


@pytest.fixture(scope="session")
def recording(tmp_path_factory):
    path = tmp_path_factory.mktemp("kgd") / "run.kgd"
    done = run("record", path, "--channels", "1,2,7", "--rate", "95000", "--duration", "0.6",
               "--trigger", "rising", "--trigger-channel", "1", "--threshold", "0.5")
    assert done.returncode == 0, done.stderr
    return path


def raw_counts(path):
    """The samples as the file format lays them out, read without the module."""
    data = path.read_bytes()
    (text_length,) = struct.unpack_from("<I", data, 119)
    return np.frombuffer(data, "<i4", offset=123 + text_length).reshape(-1, len(INPUTS))


def scan_seconds(scans):
    return (np.arange(scans) * len(INPUTS) * DIVISOR) / 8_000_000
