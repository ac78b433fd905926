"""Read Kresograf recordings (.kgd files) into NumPy.

>>> import kresograf
>>> r = kresograf.read("run.kgd")
>>> r.volts.shape, r.inputs, r.rate_hz
((35625, 3), (1, 3, 4), 95238.09523809524)

The samples are memory-mapped from the file, read-only: opening a recording of many gigabytes
takes no time and no memory until the samples are used. Messages are the program's own:
Polish, or English when the user's first language is English.
"""

from ._recording import FormatError, Recording, read

__all__ = ["FormatError", "Recording", "read"]
