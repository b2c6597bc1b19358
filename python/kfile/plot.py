"""Pictures of a take: channel curves over time, or the markers and segment origins of a frame.

From a shell::

    python3 -m kfile.plot walk.K --out walk.png                      # datagroup 0, every channel
    python3 -m kfile.plot walk.K --datagroup 1 --channels '*<T-*>' --out skeleton.png
    python3 -m kfile.plot walk.K --frame 120 --out frame.png         # 3D markers and segments

From Python, ``curves_figure`` and ``frame_figure`` answer a matplotlib Figure to save or show.
Figures are drawn with the Agg renderer, so no display is needed.

Channels are grouped by subject: the text of a label before its first ":", cut at its first
digit ("Bob2:LFHD <P-X>" belongs to Bob), as the import groups a character's locators; labels
without one belong to "UnnamedCharacter". A label's suffix tells what it holds: <P-X> marker
positions and <T-X> segment translations in millimetres, <A-X> rotation vectors in radians.
"""

from __future__ import annotations

import argparse
import fnmatch
import re
import sys
from pathlib import Path
from typing import Sequence

import numpy as np
from matplotlib.backends.backend_agg import FigureCanvasAgg
from matplotlib.figure import Figure

from . import Datagroup, ReadError, Take, read

__all__ = ["curves_figure", "frame_figure", "main", "subject_of"]

UNNAMED_SUBJECT = "UnnamedCharacter"
_UNITS = {"P": "mm", "T": "mm", "A": "rad"}
_KINDS = {"P": "marker position", "T": "segment translation", "A": "segment rotation"}
_SUFFIX = re.compile(r"<([PTA])-([XYZ])>$")


def subject_of(label: str) -> str:
    """The subject a channel belongs to: the text before the label's first ":" up to its
    first digit, or UnnamedCharacter."""
    prefix, colon, _ = label.partition(":")
    subject = re.split(r"\d", prefix, maxsplit=1)[0] if colon else ""
    return subject or UNNAMED_SUBJECT


def _suffix(label: str) -> tuple[str, str] | None:
    """(kind letter, axis) of a label ending in <P-X>, <T-Y>, <A-Z> and the like."""
    match = _SUFFIX.search(label.rstrip())
    return (match.group(1), match.group(2)) if match else None


def _base_name(label: str) -> str:
    """The label without its suffix: "Bob2:LFHD <P-X>" gives "Bob2:LFHD"."""
    return label[: label.rfind("<")].rstrip() if "<" in label else label


def _panels(labels: Sequence[str], columns: Sequence[int]) -> dict[tuple[str, str], list[int]]:
    """Columns by subject and kind, in order of first appearance; kind "" for other labels."""
    panels: dict[tuple[str, str], list[int]] = {}
    for column in columns:
        suffix = _suffix(labels[column])
        kind = suffix[0] if suffix else ""
        panels.setdefault((subject_of(labels[column]), kind), []).append(column)
    return panels


def _selected(datagroup: Datagroup, channels: str) -> list[int]:
    return [c for c, label in enumerate(datagroup.labels) if fnmatch.fnmatchcase(label, channels)]


def _figure(size: tuple[int, int], dpi: int) -> Figure:
    figure = Figure(figsize=(size[0] / dpi, size[1] / dpi), dpi=dpi)
    FigureCanvasAgg(figure)
    return figure


def curves_figure(take: Take, datagroup: int = 0, channels: str = "*", name: str = "take",
                  size: tuple[int, int] = (1200, 800), dpi: int = 100) -> Figure:
    """Channel values over time in seconds, one panel per subject (and per unit, when a
    subject's channels hold both positions and rotations).

    ``channels`` is a shell-style pattern on the labels (``"*<P-Z>"``, ``"Bob:L*"``). Missing
    values leave gaps in the curves. Raises KeyError for a datagroup the take lacks and
    ValueError when no channel matches.
    """
    group = take.datagroup(datagroup)
    columns = _selected(group, channels)
    if not columns:
        raise ValueError(f"no channel of datagroup {datagroup} matches {channels!r}")
    panels = _panels(group.labels, columns)
    figure = _figure(size, dpi)
    axes = figure.subplots(len(panels), 1, sharex=True, squeeze=False)[:, 0]
    times = group.times
    for ax, ((subject, kind), panel_columns) in zip(axes, panels.items()):
        for column in panel_columns:
            label = group.labels[column]
            ax.plot(times, group.values[:, column], linewidth=1,
                    label=label.partition(":")[2] or label)
        ax.set_title(subject, loc="left", fontsize="medium")
        ax.set_ylabel(f"{_KINDS[kind]} ({_UNITS[kind]})" if kind else "value")
        ax.grid(True, alpha=0.3)
        if len(panel_columns) <= 12:
            ax.legend(fontsize="x-small", loc="center left", bbox_to_anchor=(1.0, 0.5))
    axes[-1].set_xlabel("time (s)")
    named = f" ({group.name})" if group.name else ""
    figure.suptitle(f"{name}: datagroup {group.id}{named}, {group.rate:g} Hz")
    figure.tight_layout()
    return figure


def _points(group: Datagroup, row: int, columns: Sequence[int], kind: str):
    """Per subject, the x, y, z of every base name whose three channels of `kind` have values."""
    axes: dict[str, dict[str, float]] = {}
    for column in columns:
        label = group.labels[column]
        suffix = _suffix(label)
        if suffix and suffix[0] == kind:
            axes.setdefault(_base_name(label), {})[suffix[1]] = group.values[row, column]
    points: dict[str, list[tuple[float, float, float]]] = {}
    for name, xyz in axes.items():
        point = tuple(xyz.get(axis, np.nan) for axis in "XYZ")
        if not np.isnan(point).any():
            points.setdefault(subject_of(name), []).append(point)
    return points


def frame_figure(take: Take, frame: int, datagroup: int | None = None, channels: str = "*",
                 name: str = "take", size: tuple[int, int] = (1200, 800),
                 dpi: int = 100) -> Figure:
    """The marker cloud (<P-*> channels) and segment origins (<T-*> channels) of one frame in
    3D, coloured per subject; from every datagroup, or only from ``datagroup``.

    Raises ValueError when the frame has no position with all three coordinates.
    """
    groups = take.datagroups if datagroup is None else [take.datagroup(datagroup)]
    figure = _figure(size, dpi)
    ax = figure.add_subplot(projection="3d")
    colours: dict[str, str] = {}
    rates = set()
    drawn = []
    for group in groups:
        rows = np.flatnonzero(group.frames == frame)
        if rows.size == 0:
            continue
        rates.add(group.rate)
        columns = _selected(group, channels)
        for kind, marker, what in (("P", "o", "markers"), ("T", "^", "segment origins")):
            for subject, points in _points(group, rows[0], columns, kind).items():
                colour = colours.setdefault(subject, f"C{len(colours) % 10}")
                xyz = np.array(points)
                ax.scatter(*xyz.T, color=colour, marker=marker, s=40 if kind == "T" else 16,
                           edgecolors="black" if kind == "T" else "none",
                           label=f"{subject} {what}")
                drawn.append(xyz)
    if not drawn:
        raise ValueError(f"frame {frame} has no marker or segment position")
    cloud = np.concatenate(drawn)
    ax.set_box_aspect(np.maximum(np.ptp(cloud, axis=0), 1e-9 + np.ptp(cloud) / 20))
    for axis in "xyz":
        getattr(ax, f"set_{axis}label")(f"{axis.upper()} (mm)")
    ax.legend(fontsize="small", loc="upper left")
    rate = ", ".join(f"{r:g}" for r in sorted(rates))
    figure.suptitle(f"{name}: frame {frame} ({frame / min(rates):.3f} s at {rate} Hz)")
    return figure


def _size(text: str) -> tuple[int, int]:
    match = re.fullmatch(r"(\d+)x(\d+)", text)
    if not match or min(int(match[1]), int(match[2])) < 100:
        raise argparse.ArgumentTypeError(f"expected WIDTHxHEIGHT in pixels, at least 100x100: "
                                         f"{text!r}")
    return int(match[1]), int(match[2])


def main(argv: Sequence[str] | None = None) -> int:
    """The command line; answers the exit status."""
    parser = argparse.ArgumentParser(prog="python3 -m kfile.plot", description=__doc__.split(
        "\n\n")[0], formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("take", type=Path, help="the K-file")
    parser.add_argument("--out", type=Path, required=True, help="the PNG file to write")
    parser.add_argument("--datagroup", type=int, help="datagroup id (curves: 0 by default)")
    parser.add_argument("--channels", default="*", help="shell-style pattern on channel labels")
    parser.add_argument("--frame", type=int,
                        help="draw this frame's markers and segment origins in 3D")
    parser.add_argument("--size", type=_size, default=(1200, 800), help="WIDTHxHEIGHT pixels")
    options = parser.parse_args(argv)
    try:
        take = read(options.take)
        common = dict(channels=options.channels, name=options.take.stem, size=options.size)
        if options.frame is None:
            figure = curves_figure(take, options.datagroup or 0, **common)
        else:
            figure = frame_figure(take, options.frame, options.datagroup, **common)
        figure.savefig(options.out)
    except (OSError, ReadError) as error:
        print(f"kfile.plot: {error}", file=sys.stderr)
        return 1
    except KeyError as error:
        print(f"kfile.plot: the take has no datagroup {error}", file=sys.stderr)
        return 2
    except ValueError as error:
        print(f"kfile.plot: {error}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
