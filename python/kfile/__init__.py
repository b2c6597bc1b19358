"""Motion-capture takes in K-files, as NumPy arrays.

A take holds datagroups: numbered groups of channels (marker positions, segment rotations and
translations) sampled at a rate, with one value per channel and frame. Reading gives each
datagroup's values as one frames x channels array with NaN where the file marks a value missing::

    import kfile

    take = kfile.read("walk.K")
    markers = take.datagroup(0)          # or by name: take.datagroup("Markers")
    markers.labels[:3]    # ['Bob:LFHD <P-X>', 'Bob:LFHD <P-Y>', 'Bob:LFHD <P-Z>']
    markers.times         # seconds: frames / rate
    markers.values        # float64, frames x channels, NaN where a marker was not seen
    names, xyz = markers.points("Bob")   # frames x markers x 3
    markers.to_pandas()   # a DataFrame indexed by time, one column per label

    kfile.write("copy.K", take)

Text in a K-file is 8-bit characters; each byte is read as the character of the same code
(Latin-1), so that any name reads and writes back unchanged.
"""

from __future__ import annotations

import enum
import errno
import os
import stat
import tempfile
from dataclasses import dataclass, field, fields
from typing import Any, NamedTuple, Union

import numpy as np

from . import _kfile

__all__ = [
    "UNNAMED_SUBJECT",
    "Datagroup",
    "Finding",
    "Parameter",
    "Points",
    "ReadError",
    "ReadReport",
    "SectionReport",
    "Take",
    "UnknownSection",
    "ValueType",
    "base_name",
    "read",
    "subject_of",
    "validate",
    "write",
]

__version__: str = _kfile.__version__

#: A path as the os module takes it; undecodable names (surrogate escapes, bytes) included.
PathLike = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]

#: The subject of labels without one, named as the import names its character group.
UNNAMED_SUBJECT = "UnnamedCharacter"
_DIGITS = "0123456789"
# What the import trims from the end of a label's name: not all of str.isspace.
_TRAILING_SPACE = " \t\r\n"
_POSITION_SUFFIXES = ("<P-X>", "<P-Y>", "<P-Z>")


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


def subject_of(label: str) -> str:
    """The subject a label belongs to, as the import groups locators: the text before the
    first ":" cut at its first decimal digit ("Bob2:LFHD <P-X>" belongs to Bob), or
    UNNAMED_SUBJECT when that leaves nothing."""
    prefix, colon, _ = label.partition(":")
    if not colon:
        return UNNAMED_SUBJECT
    digit = next((i for i, c in enumerate(prefix) if c in _DIGITS), len(prefix))
    return prefix[:digit] or UNNAMED_SUBJECT


def base_name(label: str) -> str:
    """A label without its suffix: the text before its last "<", without trailing white space
    ("Bob2:LFHD <P-X>" gives "Bob2:LFHD"); a label without "<" is its own name."""
    if "<" not in label:
        return label
    return label[: label.rfind("<")].rstrip(_TRAILING_SPACE)


def _axis(label: str, suffixes: tuple[str, str, str]) -> int | None:
    """0, 1, 2 for a label whose suffix (from its first "<") is exactly the X, Y or Z one of
    ``suffixes``, else None."""
    start = label.find("<")
    suffix = label[start:] if start >= 0 else None
    return suffixes.index(suffix) if suffix in suffixes else None


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
        if not f.compare:
            continue
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
    """A section of a name the library does not know, kept byte for byte: writing puts it back
    at its place among the take's sections.

    A name holds at most 28 characters and may not be PARAMETER or DATAGROUP in any case; a
    body holds at least one byte.
    """

    name: str
    body: bytes
    index: int  #: its place among the take's sections in file order, counted from 0
    offset: int = 0  #: byte offset of its 32-byte header in the file read; 0 for a new one

    @property
    def size(self) -> int:
        """The body length in bytes."""
        return len(self.body)


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


def _count(number: int, noun: str) -> str:
    return f"{number} {noun}{'' if number == 1 else 's'}"


@dataclass(frozen=True)
class SectionReport:
    """One section header met while reading."""

    name: str
    offset: int  #: byte offset of its 32-byte header
    size: int  #: the body length its header gives
    kept: bool  #: whether the take holds it (a second section of a known name is not kept)


@dataclass(frozen=True)
class ReadReport:
    """How the read of a take went."""

    sections: tuple[SectionReport, ...]  #: every section header met, in file order
    #: Bytes of a dynamic record that the file ends inside of: the record is dropped, as
    #: readers do, and a take cut by a failed copy shows here. 0 for a whole take.
    incomplete_bytes: int
    #: The byte of the file at which that record starts, with ``incomplete_bytes``.
    incomplete_offset: int = 0


class Points(NamedTuple):
    """Marker positions of a datagroup: ``names[m]`` is the marker of ``values[:, m]``."""

    names: list[str]
    values: np.ndarray  #: float64, frames x markers x 3 (X, Y, Z), NaN where missing


@dataclass(kw_only=True, eq=False, repr=False)
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

    @property
    def subjects(self) -> list[str]:
        """The subjects of the labels in order of first appearance, merged as the import merges
        them into character groups (see ``subject_of``): Bob1 and Bob2 are one Bob."""
        return list(dict.fromkeys(subject_of(label) for label in self.labels))

    def points(self, subject: str | None = None) -> Points:
        """Marker positions frame by frame, from the labels ending in <P-X>, <P-Y> and <P-Z>.

        One marker per name (the label without its suffix, "Bob:LFHD"), in order of first
        appearance; only ``subject``'s markers when given. A coordinate without a channel, or
        without a value at a frame, is NaN.
        """
        return self._points(_POSITION_SUFFIXES, subject)

    def _points(self, suffixes: tuple[str, str, str], subject: str | None,
                chosen: set[int] | None = None) -> Points:
        """Points from the labels ending in one of ``suffixes`` (X, Y, Z), as ``points``; only
        from the ``chosen`` columns when given."""
        columns: dict[str, list[int | None]] = {}
        for column, label in enumerate(self.labels):
            axis = _axis(label, suffixes) if chosen is None or column in chosen else None
            name = base_name(label)
            if axis is None or (subject is not None and subject_of(name) != subject):
                continue
            slots = columns.setdefault(name, [None, None, None])
            if slots[axis] is None:
                slots[axis] = column
        values = np.full((len(self.frames), len(columns), 3), np.nan)
        for marker, slots in enumerate(columns.values()):
            for axis, column in enumerate(slots):
                if column is not None:
                    values[:, marker, axis] = self.values[:, column]
        return Points(list(columns), values)

    def to_pandas(self):
        """The values as a pandas DataFrame: one row per frame indexed by its time in seconds
        ("time"), one column per label, NaN where missing."""
        try:
            import pandas
        except ImportError as error:
            raise ImportError("Datagroup.to_pandas needs pandas: apt-get install python3-pandas, "
                              "or pip install pandas") from error
        index = pandas.Index(self.times, name="time")
        return pandas.DataFrame(self.values, index=index, columns=list(self.labels))

    def __repr__(self) -> str:
        named = f" {self.name!r}" if self.name else ""
        return (f"<Datagroup {self.id}{named}: {_count(len(self.labels), 'channel')}, "
                f"{_count(len(self.frames), 'frame')} at {self.rate:g} Hz>")


@dataclass(kw_only=True, eq=False, repr=False)
class Take:
    """The contents of one K-file."""

    datagroups: list[Datagroup] = field(default_factory=list)
    parameters: dict[str, Parameter] = field(default_factory=dict)
    version: int = 1  #: the file header's version field
    #: Sections of names the library does not know, in file order; written back in place.
    unknown_sections: list[UnknownSection] = field(default_factory=list)
    #: (datagroup id, frame) of each dynamic record in the order the file held them, or None.
    #: Writing follows it for the rows still there, then adds the others in the order of their
    #: times; it is not part of a take's equality.
    record_order: np.ndarray | None = field(default=None, compare=False)
    #: How the read went, for a take that was read; not part of a take's equality.
    report: ReadReport | None = field(default=None, compare=False)

    __eq__ = _equal

    def datagroup(self, key: int | str) -> Datagroup:
        """The datagroup with this id, or with this name (the first of that name); KeyError
        when there is none."""
        attribute = "name" if isinstance(key, str) else "id"
        for datagroup in self.datagroups:
            if getattr(datagroup, attribute) == key:
                return datagroup
        raise KeyError(key)

    def to_c3d(self, path: PathLike, datagroup: int | None = None) -> list[str]:
        """Writes the take to ``path`` as a C3D file, as ``kfile export --format c3d`` does:
        the markers of ``datagroup`` (default the first datagroup with markers) and of every
        datagroup at its rate as points in mm, each segment as a translation point and an
        angles point (XYZ Euler degrees), gaps as invalid points; datagroups that place no
        marker or segment, at a whole multiple of the rate, as analog channels (a missing
        value is NaN). Answers one sentence for each thing the file leaves out.

        Raises ``ValueError`` when the take cannot be exported (no markers or segments, frame
        numbers the format cannot hold) and ``OSError`` when the file cannot be written.
        """
        return _export(path, self, "c3d", datagroup)

    def to_trc(self, path: PathLike, datagroup: int | None = None) -> list[str]:
        """Writes the positions of the take (markers and segment translations, as ``to_c3d``
        chooses them) to ``path`` as a TRC marker file, missing values as empty cells, as
        ``kfile export --format trc`` does. Answers and raises as ``to_c3d``."""
        return _export(path, self, "trc", datagroup)

    def __repr__(self) -> str:
        shown = ", ".join(f"{d.id}{' ' + d.name if d.name else ''} "
                          f"({_count(len(d.frames), 'frame')})" for d in self.datagroups[:4])
        more = f" and {len(self.datagroups) - 4} more" if len(self.datagroups) > 4 else ""
        groups = f"datagroups {shown}{more}" if self.datagroups else "no datagroups"
        cut = self.report.incomplete_bytes if self.report else 0
        warning = f", {_count(cut, 'byte')} of an incomplete record dropped" if cut else ""
        return f"<Take version {self.version}, {groups}{warning}>"


def _check_regular_file(name: str | bytes) -> None:
    """Raises the OSError that tells why `name` is not a file to read: the system's own for a
    missing or forbidden path, IsADirectoryError, or EINVAL for a device, FIFO or socket."""
    mode = os.stat(name).st_mode
    if stat.S_ISDIR(mode):
        raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), name)
    if not stat.S_ISREG(mode):
        raise OSError(errno.EINVAL, "not a regular file", name)


def read(path: PathLike) -> Take:
    """Reads the take at ``path`` (str, bytes or os.PathLike).

    Raises ``ReadError`` when the file is not a complete K-file, ``MemoryError`` when there is
    not enough memory to hold it, and ``OSError`` (with ``errno`` and ``filename``) when it is
    not a regular file or cannot be opened.
    """
    name = os.fspath(path)
    _check_regular_file(name)
    raw = _kfile.read(os.fsencode(name))
    if raw["error"] is not None:
        reason, message, offset, section = raw["error"]
        if reason == "cannot_open":
            open(name, "rb").close()  # raises the OSError that tells why
            raise OSError(errno.EIO, "the file cannot be opened", name)
        shown = os.fsdecode(name)
        if reason == "no_memory":
            raise MemoryError(f"{shown}: {message}")
        raise ReadError(f"{shown}: {message}", reason=reason, offset=offset, section=section,
                        path=shown)
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
    unknown = [UnknownSection(name=name, body=body, index=index, offset=offset)
               for name, offset, size, body, index in raw["unknown_sections"]]
    report = ReadReport(sections=tuple(SectionReport(*section) for section in raw["sections"]),
                        incomplete_bytes=raw["incomplete_bytes"],
                        incomplete_offset=raw["incomplete_offset"])
    return Take(version=raw["version"], parameters=parameters, datagroups=datagroups,
                unknown_sections=unknown, record_order=raw["record_order"], report=report)


@dataclass(frozen=True)
class Finding:
    """One finding of ``validate``, as ``kfile validate`` reports it."""

    check: str  #: short name of the check: "truncated-section", "frame-order", ...
    problem: bool  #: False for a note, which leaves a take clean
    section: str  #: "header", a section name, or "records" for the dynamic records
    record: int | None  #: index of the record within its section or the records
    offset: int  #: byte offset in the file
    message: str  #: what was found and what was expected


def validate(take: Take | PathLike) -> list[Finding]:
    """What ``kfile validate`` finds in a take: every problem and note, with its section, record
    and byte offset, from the same checks. ``take`` is a path, or a Take, which is checked as
    ``write`` stores it, together with what its read report tells of the file it was read from
    (a record that file ends inside of). The take is clean when no finding is a problem.

    Raises ``OSError`` when the file cannot be read, and what ``write`` raises for a Take it
    cannot store.
    """
    if isinstance(take, Take):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "take.K")
            write(path, take)
            with open(path, "rb") as file:
                data = file.read()
    else:
        name = os.fspath(take)
        _check_regular_file(name)
        with open(name, "rb") as file:
            data = file.read()
    findings = [Finding(check=check, problem=problem, section=section,
                        record=None if record < 0 else record, offset=offset, message=message)
                for check, problem, section, record, offset, message in _kfile.validate(data)]
    report = take.report if isinstance(take, Take) else None
    if report and report.incomplete_bytes:
        # Reading dropped the record, so the bytes written above no longer show it.
        findings.append(Finding(
            check="truncated-record", problem=True, section="records", record=None,
            offset=report.incomplete_offset,
            message=f"the file the take was read from ends inside a record at byte "
                    f"{report.incomplete_offset}: its {_count(report.incomplete_bytes, 'byte')} "
                    f"{'was' if report.incomplete_bytes == 1 else 'were'} dropped on reading"))
    return findings


def _plain_values(take: Take) -> tuple[list, list, list]:
    """The parameters, datagroups and unknown sections of a take as the compiled core takes
    them."""
    parameters = [
        (name, int(p.value_type), tuple(p.dimensions), p._value_bytes())
        for name, p in take.parameters.items()
    ]
    datagroups = [
        (d.id, d.name, int(d.value_type), d.rate, list(d.labels), d.frames, d.values)
        for d in take.datagroups
    ]
    unknown = [(section.name, section.body, section.index)
               for section in sorted(take.unknown_sections, key=lambda section: section.index)]
    return parameters, datagroups, unknown


def _export(path: PathLike, take: Take, format: str, datagroup: int | None) -> list[str]:
    name = os.fspath(path)
    problem, left_out, failure = _kfile.export(os.fsencode(name), format, datagroup,
                                               take.version, *_plain_values(take),
                                               take.record_order)
    if problem is not None:
        raise ValueError(f"cannot export the take as {format.upper()}: {problem}")
    if failure:
        raise OSError(failure, os.strerror(failure), name)
    return left_out


def write(path: PathLike, take: Take) -> None:
    """Writes ``take`` to ``path`` (str, bytes or os.PathLike), replacing any file there.

    Each datagroup's values are stored as its value type (Short, Long, Float, Double or Boolean)
    with NaN written as the type's missing-value marker. Before anything is written, raises
    ``ValueError`` naming the datagroup for a value the type cannot hold (a fraction in a Short
    datagroup, a number equal to a marker), arrays whose shapes disagree, a rate that is not a
    positive finite number, ids and sizes the file layout cannot hold, and datagroups without
    one of id 0. Raises ``OSError`` (with ``errno`` and ``filename``) when the file cannot be
    written.
    """
    name = os.fspath(path)
    failure = _kfile.write(os.fsencode(name), take.version, *_plain_values(take),
                           take.record_order)
    if failure:
        raise OSError(failure, os.strerror(failure), name)



def _write_file(path: PathLike, data: bytes) -> None:
    """Writes ``data`` to ``path`` as ``write`` writes a take: the file is replaced only once
    complete (an interrupt leaves it as it was), and never one this user may not write. Raises
    ``OSError`` (with ``errno`` and ``filename``) when the file cannot be written."""
    name = os.fspath(path)
    failure = _kfile.write_file(os.fsencode(name), data)
    if failure:
        raise OSError(failure, os.strerror(failure), name)
