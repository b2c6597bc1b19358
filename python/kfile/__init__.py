"""Motion-capture takes in K-files, as NumPy arrays.

A take holds datagroups: numbered groups of channels (marker positions, segment rotations and
translations) sampled at a rate, with one value per channel and frame. Reading gives each
datagroup's values as one frames x channels array with NaN where the file marks a value missing::

    import kfile

    take = kfile.read("walk.K")
    markers = take.datagroup(0)
    markers.labels[:3]    # ['Bob:LFHD <P-X>', 'Bob:LFHD <P-Y>', 'Bob:LFHD <P-Z>']
    markers.times         # seconds: frames / rate
    markers.values        # float64, frames x channels, NaN where a marker was not seen

    kfile.write("copy.K", take)

Text in a K-file is 8-bit characters; each byte is read as the character of the same code
(Latin-1), so that any name reads and writes back unchanged.
"""

from __future__ import annotations

import enum
import errno
import os
from dataclasses import dataclass, field, fields
from typing import Any, Union

import numpy as np

from . import _kfile

__all__ = [
    "Datagroup",
    "Parameter",
    "ReadError",
    "Take",
    "UnknownSection",
    "ValueType",
    "read",
    "write",
]

PathLike = Union[str, "os.PathLike[str]"]


class ValueType(enum.IntEnum):
    """The value type code of a datagroup or a parameter."""

    BINARY = 1
    TEXT = 2
    SHORT = 3
    LONG = 4
    FLOAT = 5
    DOUBLE = 6
    BOOLEAN = 7


# How parameter values of each type lie in a file. Codes without a type of their own are kept
# as their bytes.
_PARAMETER_DTYPES = {
    ValueType.BINARY: np.dtype(np.uint8),
    ValueType.SHORT: np.dtype("<i2"),
    ValueType.LONG: np.dtype("<i4"),
    ValueType.FLOAT: np.dtype("<f4"),
    ValueType.DOUBLE: np.dtype("<f8"),
    ValueType.BOOLEAN: np.dtype(np.bool_),
}

_KNOWN_SECTIONS = (b"PARAMETER", b"DATAGROUP")


def _value_type(code: int) -> int:
    """The ValueType of a code, or the plain code when it names none."""
    try:
        return ValueType(code)
    except ValueError:
        return code


class ReadError(Exception):
    """A file that is not a complete K-file.

    Attributes:
        reason: what went wrong, as a short word such as ``"bad_magic"`` or
            ``"section_cut_short"``.
        offset: the byte of the file at which reading gave up.
        section: the section whose body was cut short; empty elsewhere.
        path: the file.
    """

    def __init__(self, message: str, *, reason: str, offset: int, section: str, path: str):
        super().__init__(message)
        self.reason = reason
        self.offset = offset
        self.section = section
        self.path = path


def _equal(a: Any, b: Any) -> bool:
    """Field by field equality of two takes' parts; arrays are equal with NaN equal to NaN."""
    if type(a) is not type(b):
        return NotImplemented
    for f in fields(a):
        x, y = getattr(a, f.name), getattr(b, f.name)
        if isinstance(x, np.ndarray) or isinstance(y, np.ndarray):
            x, y = np.asarray(x), np.asarray(y)
            nan_equal = x.dtype.kind == "f" and y.dtype.kind == "f"
            if not np.array_equal(x, y, equal_nan=nan_equal):
                return False
        elif x != y:
            return False
    return True


@dataclass(frozen=True)
class UnknownSection:
    """A section of a name the library does not know; its body is skipped and not kept."""

    name: str
    offset: int  #: byte offset of its 32-byte header
    size: int  #: body length in bytes


@dataclass(kw_only=True, eq=False)
class Parameter:
    """A named, typed array of the take's PARAMETER section.

    ``values`` is a one-dimensional NumPy array of the type's elements in file order, or a list
    of strings for Text parameters. ``dimensions`` are the extents the file gives; their product
    is the number of elements. A Text parameter's first dimension is the width of one text slot
    and the others count the slots; a single string is one slot. Without dimensions, numbers get
    ``(len(values),)`` and texts ``(longest + 1, len(values))``.
    """

    value_type: int
    values: Any
    dimensions: tuple[int, ...] | None = None

    def __post_init__(self) -> None:
        self.value_type = _value_type(int(self.value_type))
        if self.value_type == ValueType.TEXT:
            texts = [self.values] if isinstance(self.values, str) else self.values
            self.values = [str(text) for text in texts]
            if self.dimensions is None:
                longest = max((len(text) for text in self.values), default=0)
                self.dimensions = (longest + 1, len(self.values))
        else:
            dtype = _PARAMETER_DTYPES.get(self.value_type, np.dtype(np.uint8))
            self.values = np.asarray(self.values, dtype=dtype).reshape(-1)
            if self.dimensions is None:
                self.dimensions = (len(self.values),)
        self.dimensions = tuple(int(d) for d in self.dimensions)

    __eq__ = _equal

    def _value_bytes(self) -> bytes:
        """The value block as the file stores it."""
        if self.value_type != ValueType.TEXT:
            return self.values.tobytes()
        width = self.dimensions[0] if self.dimensions else 1
        slots = [text.encode("latin-1") for text in self.values]
        for text in slots:
            if len(text) >= width:
                raise ValueError(f"text {text!r} does not fit a slot of width {width} "
                                 f"(at most {width - 1} characters and a NUL)")
        return b"".join(text.ljust(width, b"\0") for text in slots)


@dataclass(kw_only=True, eq=False)
class Datagroup:
    """One datagroup: its channels and their values frame by frame.

    ``values`` has one row per frame (``frames``, ascending, each once) and one column per
    channel (``labels``); NaN marks a value missing at that frame, and frames for which the file
    holds no record. Values of the types Short, Long and Boolean are whole numbers (Boolean: 0 or
    1); Binary and Text datagroups have no numbers and read as NaN.
    """

    labels: list[str]
    rate: float  #: frames per second
    frames: np.ndarray  #: int32 frame numbers, one per row of ``values``
    values: np.ndarray  #: float64, frames x channels
    id: int = 0
    name: str = ""
    value_type: int = ValueType.DOUBLE

    def __post_init__(self) -> None:
        self.labels = [str(label) for label in self.labels]
        self.rate = float(self.rate)
        self.value_type = _value_type(int(self.value_type))
        frames = np.asarray(self.frames)
        if frames.ndim != 1 or (frames.size and frames.dtype.kind not in "iu"):
            raise ValueError("frames must be a one-dimensional array of whole numbers")
        if frames.size and (frames.min() < -(2**31) or frames.max() >= 2**31):
            raise ValueError("frame numbers must fit 32 bits")
        self.frames = frames.astype(np.int32, copy=False)
        self.values = np.asarray(self.values, dtype=np.float64)
        expected = (len(self.frames), len(self.labels))
        if self.values.shape != expected:
            raise ValueError(f"values must be frames x channels {expected}, not {self.values.shape}")

    __eq__ = _equal

    @property
    def times(self) -> np.ndarray:
        """The time of each frame in seconds: frame number / rate."""
        return self.frames / self.rate

    def channel(self, label: str) -> np.ndarray:
        """The values of the channel with this label (the first, when several share it)."""
        try:
            return self.values[:, self.labels.index(label)]
        except ValueError:
            raise KeyError(label) from None


@dataclass(kw_only=True, eq=False)
class Take:
    """The contents of one K-file."""

    datagroups: list[Datagroup] = field(default_factory=list)
    parameters: dict[str, Parameter] = field(default_factory=dict)
    version: int = 1  #: the file header's version field
    #: Sections that were skipped; they are not written back.
    unknown_sections: list[UnknownSection] = field(default_factory=list)

    __eq__ = _equal

    def datagroup(self, id: int) -> Datagroup:
        """The datagroup with this id; KeyError when there is none."""
        for datagroup in self.datagroups:
            if datagroup.id == id:
                return datagroup
        raise KeyError(id)


def read(path: PathLike) -> Take:
    """Reads the take at ``path``.

    Raises ``ReadError`` when the file is not a complete K-file, and ``OSError`` when it cannot
    be opened.
    """
    path = os.fspath(path)
    if os.path.isdir(path):
        raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), path)
    raw = _kfile.read(path)
    if raw["error"] is not None:
        reason, message, offset, section = raw["error"]
        if reason == "cannot_open":
            open(path, "rb").close()  # raises the OSError that tells why
        raise ReadError(f"{path}: {message}", reason=reason, offset=offset, section=section,
                        path=path)
    parameters: dict[str, Parameter] = {}
    for name, value_type, dimensions, values in raw["parameters"]:
        # The first of several parameters with one name stands, as the library's lookup does.
        parameters.setdefault(name, Parameter(value_type=value_type, dimensions=dimensions,
                                              values=values))
    datagroups = [
        Datagroup(id=id, name=name, value_type=value_type, rate=rate, labels=labels,
                  frames=frames, values=values)
        for id, name, value_type, rate, labels, frames, values in raw["datagroups"]
    ]
    unknown = [
        UnknownSection(name=name, offset=offset, size=size)
        for name, offset, size, kept in raw["sections"]
        if not kept and name.encode("latin-1").upper() not in _KNOWN_SECTIONS
    ]
    return Take(version=raw["version"], parameters=parameters, datagroups=datagroups,
                unknown_sections=unknown)


def write(path: PathLike, take: Take) -> None:
    """Writes ``take`` to ``path``, replacing any file there.

    Each datagroup's values are stored as its value type (Short, Long, Float, Double or Boolean)
    with NaN written as the type's missing-value marker. Raises ``ValueError`` for a value the
    type cannot hold (a fraction in a Short datagroup, a number equal to a marker) and for
    arrays whose shapes disagree, and ``OSError`` when the file cannot be written.
    """
    parameters = [
        (name, int(p.value_type), tuple(p.dimensions), p._value_bytes())
        for name, p in take.parameters.items()
    ]
    datagroups = [
        (d.id, d.name, int(d.value_type), d.rate, list(d.labels), d.frames, d.values)
        for d in take.datagroups
    ]
    _kfile.write(os.fspath(path), take.version, parameters, datagroups)

