"""Compiled core of the kfile package: takes between K-files and NumPy arrays."""

from typing import Any

import numpy as np
import numpy.typing as npt

#: (name, value type, dimensions, values)
RawParameter = tuple[str, int, tuple[int, ...], npt.NDArray[Any] | list[str]]
#: (id, name, value type, rate, labels, frames, values)
RawDatagroup = tuple[int, str, int, float, list[str], npt.NDArray[np.int32],
                     npt.NDArray[np.float64]]

__version__: str

def read(path: bytes) -> dict[str, Any]:
    """Reads the take at `path` into plain values (see kfile.read for the classes).

    Keys: version, parameters (list of RawParameter), datagroups (list of RawDatagroup),
    sections ((name, offset, size, kept) for every section header met), incomplete_bytes (the
    bytes of a record the file ends inside of, 0 for a whole take), incomplete_offset (where
    that record starts), unknown_sections ((name,
    offset, size, body, index among the kept sections)), record_order (int32 records x 2:
    datagroup id and frame of each record in file order) and error (None, or (reason, message,
    offset, section)).
    """

def read_contents_only(path: bytes) -> int:
    """Reads the take with the C++ library alone, building no arrays; answers its number of
    dynamic records, or -1 when it does not read. A benchmark baseline."""

def validate(take: bytes) -> list[tuple[str, bool, str, int, int, str]]:
    """The findings of `kfile validate` on the bytes of a take: (check, problem, section,
    record, offset, message), record -1 where none applies."""

def write(path: bytes, version: int,
          parameters: list[tuple[str, int, tuple[int, ...], bytes]],
          datagroups: list[tuple[int, str, int, float, list[str], npt.ArrayLike, npt.ArrayLike]],
          unknown_sections: list[tuple[str, bytes, int]],
          record_order: npt.ArrayLike | None) -> int:
    """Writes a take given as plain values (see kfile.write for the classes); answers 0, or the
    errno of a failed write."""

def export(path: bytes, format: str, datagroup: int | None, version: int,
           parameters: list[tuple[str, int, tuple[int, ...], bytes]],
           datagroups: list[tuple[int, str, int, float, list[str], npt.ArrayLike, npt.ArrayLike]],
           unknown_sections: list[tuple[str, bytes, int]],
           record_order: npt.ArrayLike | None) -> tuple[str | None, list[str], int]:
    """Writes a take given as plain values as "c3d" or "trc" (see Take.to_c3d): answers why it
    cannot be exported or None, what the file leaves out, and 0 or the errno of a failed
    write."""

def write_file(path: bytes, data: bytes) -> int:
    """Writes bytes to `path` as a take is written: complete or not at all, never over a file
    this user may not write; answers 0, or the errno of a failed write."""
