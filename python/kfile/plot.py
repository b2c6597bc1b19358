"""Pictures of a take: channel curves over time, a 3D view of one moment, or an animated one.

From a shell::

    python3 -m kfile.plot walk.K --out walk.png                      # datagroup 0, every channel
    python3 -m kfile.plot walk.K --datagroup Skeleton --channels '*<A-*>' --out skeleton.png
    python3 -m kfile.plot walk.K --time 1.5 --out pose.png           # 3D markers and segments
    python3 -m kfile.plot walk.K --animate --out walk.gif            # the same, moving

From Python, ``curves_figure`` and ``time_figure`` answer a matplotlib Figure to save or show,
and ``save_animation`` writes a GIF. Figures are drawn with the Agg renderer, so no display is
needed; GIFs are written with Pillow.

Channels are grouped by subject as the import groups a character's locators (see
``kfile.subject_of``): "Bob2:LFHD <P-X>" belongs to Bob. A label's suffix tells what it holds:
<P-X> marker positions and <T-X> segment translations in millimetres, <A-X> rotation vectors
and <a-X> local rotation vectors in radians; channels named Fx, Fy, Fz hold forces in newtons.
"""

from __future__ import annotations

import argparse
import fnmatch
import math
import re
import sys
from pathlib import Path
from typing import Iterator, Sequence

import numpy as np
from matplotlib.backends.backend_agg import FigureCanvasAgg
from matplotlib.figure import Figure

from . import Datagroup, Points, ReadError, Take, read, subject_of

__all__ = ["channel_kind", "curves_figure", "main", "save_animation", "time_figure"]

_KIND_OF_LETTER = {"P": "position (mm)", "p": "position (mm)", "T": "translation (mm)",
                   "t": "translation (mm)", "A": "rotation (rad)", "a": "local rotation (rad)"}
_SUFFIX = re.compile(r"<([PpTtAa])-[XYZxyz]>")
_POSITION_SUFFIXES = ("<P-X>", "<P-Y>", "<P-Z>")
_SEGMENT_SUFFIXES = ("<T-X>", "<T-Y>", "<T-Z>")
# Line styles beyond the palette's colours, so that no two lines of a panel look alike.
_STYLES = ["-", "--", ":", "-."]
# At most this many frames in an animation unless a stride is given: a one-minute take stays
# within a few megabytes.
ANIMATION_FRAMES = 150


def channel_kind(label: str) -> str:
    """What a channel holds, with its unit: "position (mm)", "rotation (rad)", "local rotation
    (rad)", "translation (mm)", "force (N)", "moment (N m)", or "value"."""
    start = label.find("<")
    if start >= 0:
        match = _SUFFIX.fullmatch(label[start:].strip())
        return _KIND_OF_LETTER[match.group(1)] if match else "value"
    name = label.rpartition(":")[2].strip()
    if re.fullmatch(r"F[xyz]", name):
        return "force (N)"
    if re.fullmatch(r"M[xyz]", name):
        return "moment (N m)"
    return "value"


def _panels(labels: Sequence[str], columns: Sequence[int]) -> dict[tuple[str, str], list[int]]:
    """Columns by subject and kind, in order of first appearance."""
    panels: dict[tuple[str, str], list[int]] = {}
    for column in columns:
        label = labels[column]
        panels.setdefault((subject_of(label), channel_kind(label)), []).append(column)
    return panels


def _selected(datagroup: Datagroup, channels: str) -> list[int]:
    return [c for c, label in enumerate(datagroup.labels) if fnmatch.fnmatchcase(label, channels)]


def _figure(size: tuple[int, int], dpi: int, layout: str | None = None) -> Figure:
    figure = Figure(figsize=(size[0] / dpi, size[1] / dpi), dpi=dpi, layout=layout)
    FigureCanvasAgg(figure)
    return figure


def _line_looks(count: int) -> Iterator[tuple[str, str]]:
    """(colour, line style) for each of `count` lines, no two alike: ten strong colours for up to
    ten lines, twenty beyond, then the same colours again with other dashes."""
    palette = [f"C{i}" for i in range(10)] if count <= 10 else _TAB20
    for line in range(count):
        yield palette[line % len(palette)], _STYLES[(line // len(palette)) % len(_STYLES)]


_TAB20 = ["#1f77b4", "#aec7e8", "#ff7f0e", "#ffbb78", "#2ca02c", "#98df8a", "#d62728", "#ff9896",
          "#9467bd", "#c5b0d5", "#8c564b", "#c49c94", "#e377c2", "#f7b6d2", "#7f7f7f", "#c7c7c7",
          "#bcbd22", "#dbdb8d", "#17becf", "#9edae5"]


def curves_figure(take: Take, datagroup: int | str = 0, channels: str = "*", name: str = "take",
                  size: tuple[int, int] | None = None, dpi: int = 100) -> Figure:
    """Channel values over time in seconds, one panel per subject and kind of channel (marker
    positions, rotations, forces, ...), each line with its own colour and dash.

    ``channels`` is a shell-style pattern on the labels (``"*<P-Z>"``, ``"Bob:L*"``). Missing
    values leave gaps in the curves. Without a ``size`` the figure is 1200 pixels wide and
    grows with its panels. Raises KeyError for a datagroup the take lacks and ValueError when
    no channel matches.
    """
    group = take.datagroup(datagroup)
    columns = _selected(group, channels)
    if not columns:
        raise ValueError(f"no channel of datagroup {datagroup} matches {channels!r}")
    panels = _panels(group.labels, columns)
    size = size or (1200, min(2400, 90 + 210 * len(panels)))
    figure = _figure(size, dpi, layout="constrained")
    axes = figure.subplots(len(panels), 1, sharex=True, squeeze=False)[:, 0]
    panel_height = size[1] / len(panels)
    for ax, ((subject, kind), panel_columns) in zip(axes, panels.items()):
        for column, (colour, style) in zip(panel_columns, _line_looks(len(panel_columns))):
            label = group.labels[column]
            ax.plot(group.times, group.values[:, column], color=colour, linestyle=style,
                    linewidth=1, label=label.partition(":")[2].strip() or label)
        ax.set_title(subject, loc="left", fontsize="medium", fontweight="bold")
        ax.set_ylabel(kind)
        ax.grid(True, alpha=0.3)
        # Legend rows of x-small text are about 12 pixels; the axes get the panel's height
        # less about 70 pixels of title and tick labels.
        rows = max(3, int((panel_height - 70) / 12))
        ax.legend(fontsize="x-small", loc="upper left", bbox_to_anchor=(1.01, 1.0),
                  ncol=math.ceil(len(panel_columns) / rows), borderaxespad=0, frameon=False,
                  handlelength=2.5)
    axes[-1].set_xlabel("time (s)")
    named = f" {group.name}" if group.name else ""
    figure.suptitle(f"{name}: datagroup {group.id}{named}, {group.rate:g} Hz")
    return figure


# 3D views ----------------------------------------------------------------------------------


class _Scene:
    """The marker and segment positions of the chosen datagroups, by subject, to be drawn at
    any time: each datagroup shows its record nearest to that time."""

    def __init__(self, take: Take, datagroup: int | str | None, channels: str):
        groups = take.datagroups if datagroup is None else [take.datagroup(datagroup)]
        self.layers = []  # (datagroup, markers, segments), each Points over the channels kept
        for group in groups:
            if len(group.frames) == 0:
                continue
            chosen = set(_selected(group, channels))
            markers = group._points(_POSITION_SUFFIXES, None, chosen)
            segments = group._points(_SEGMENT_SUFFIXES, None, chosen)
            if markers.names or segments.names:
                self.layers.append((group, markers, segments))
        if not self.layers:
            raise ValueError("no marker or segment positions to draw")
        subjects = [subject_of(name) for _, markers, segments in self.layers
                    for name in markers.names + segments.names]
        self.colours = {subject: f"C{i % 10}" for i, subject in enumerate(dict.fromkeys(subjects))}
        self.start = min(group.times[0] for group, _, _ in self.layers)
        self.end = max(group.times[-1] for group, _, _ in self.layers)

    def bounds(self, rows: list[int] | None = None) -> np.ndarray:
        """2 x 3: the smallest and largest coordinates, over every row or the given ones."""
        clouds = [points.values if rows is None else points.values[row]
                  for (_, markers, segments), row in zip(self.layers, rows or self.layers)
                  for points in (markers, segments)]
        cloud = np.concatenate([c.reshape(-1, 3) for c in clouds])
        cloud = cloud[~np.isnan(cloud).any(axis=1)]
        if cloud.size == 0:
            raise ValueError("no marker or segment has all three coordinates there")
        return np.array([cloud.min(axis=0), cloud.max(axis=0)])

    def rows_at(self, time: float) -> list[int]:
        """Of each datagroup, the row whose time is nearest to `time`."""
        return [int(np.abs(group.times - time).argmin()) for group, _, _ in self.layers]

    def draw(self, ax, rows: list[int]) -> None:
        """Markers as dots, segment origins as triangles joined by lines, the subject's name
        above its points, coloured by subject."""
        tops: dict[str, np.ndarray] = {}
        for (group, markers, segments), row in zip(self.layers, rows):
            for subject, xyz in _by_subject(markers, row).items():
                ax.scatter(*xyz.T, color=self.colours[subject], s=10, depthshade=False,
                           label=f"{subject} markers")
                tops[subject] = _top(tops.get(subject), xyz)
            for subject, xyz in _by_subject(segments, row).items():
                colour = self.colours[subject]
                for start, end in _bones(xyz):
                    ax.plot(*np.array([start, end]).T, color=colour, linewidth=2)
                ax.scatter(*xyz.T, color=colour, marker="^", s=36, edgecolors="black",
                           linewidths=0.5, depthshade=False, label=f"{subject} segments")
                tops[subject] = _top(tops.get(subject), xyz)
        for subject, top in tops.items():
            ax.text(*top, subject, color=self.colours[subject], fontweight="bold",
                    ha="center", va="bottom")

    def caption(self, rows: list[int]) -> str:
        return ", ".join(f"{group.name or f'datagroup {group.id}'} frame {group.frames[row]}"
                         for (group, _, _), row in zip(self.layers, rows))


def _by_subject(points: Points, row: int) -> dict[str, np.ndarray]:
    """The points with all three coordinates at `row`, by subject, in order."""
    out: dict[str, list[np.ndarray]] = {}
    for name, xyz in zip(points.names, points.values[row]):
        if not np.isnan(xyz).any():
            out.setdefault(subject_of(name), []).append(xyz)
    return {subject: np.array(xyz) for subject, xyz in out.items()}


def _top(top: np.ndarray | None, xyz: np.ndarray) -> np.ndarray:
    """A place above the points: their mean x and y, above their highest z."""
    points = xyz if top is None else np.vstack([xyz, top])
    return np.array([points[:, 0].mean(), points[:, 1].mean(), points[:, 2].max()])


def _bones(xyz: np.ndarray) -> Iterator[tuple[np.ndarray, np.ndarray]]:
    """Lines between the segments of one subject. The file does not say which segment hangs
    from which; segments are listed parents first, so each joins the nearest one listed
    before it."""
    for index in range(1, len(xyz)):
        distances = np.linalg.norm(xyz[:index] - xyz[index], axis=1)
        yield xyz[int(distances.argmin())], xyz[index]


def _frame_axes(figure: Figure, bounds: np.ndarray):
    """3D axes that fill the figure, with equal scales on the three axes over `bounds`."""
    ax = figure.add_axes([0.0, 0.0, 0.92, 0.9], projection="3d")
    centre = bounds.mean(axis=0)
    # Short sides are widened around the centre, the scale staying equal: a box no flatter
    # than 2:1 keeps a take that travels far along one axis from shrinking to a sliver, and
    # one no taller than wide fits the canvas.
    spans = bounds[1] - bounds[0]
    spans = np.maximum(spans, 1e-9 + spans.max() / 2)
    spans[:2] = np.maximum(spans[:2], spans[2])
    spans *= 1.08
    for axis, low, high in zip("xyz", centre - spans / 2, centre + spans / 2):
        getattr(ax, f"set_{axis}lim")(low, high)
        getattr(ax, f"set_{axis}label")(f"{axis.upper()} (mm)", fontsize="small", labelpad=-2)
    ax.tick_params(labelsize="x-small", pad=0)
    ax.set_box_aspect(spans, zoom=0.92)
    return ax


def time_figure(take: Take, time: float, datagroup: int | str | None = None,
                channels: str = "*", name: str = "take", size: tuple[int, int] = (900, 700),
                dpi: int = 100) -> Figure:
    """Markers (<P-*> channels) and segment origins (<T-*> channels, joined by lines) in 3D at
    ``time`` seconds: of each datagroup, or only of ``datagroup``, the record nearest to it.

    Raises ValueError when nothing there has all three coordinates.
    """
    scene = _Scene(take, datagroup, channels)
    rows = scene.rows_at(time)
    figure = _figure(size, dpi)
    ax = _frame_axes(figure, scene.bounds(rows))
    scene.draw(ax, rows)
    figure.suptitle(f"{name} at {time:.3f} s\n{scene.caption(rows)}", fontsize="medium")
    return figure


def save_animation(take: Take, path: str | Path, datagroup: int | str | None = None,
                   channels: str = "*", name: str = "take", size: tuple[int, int] = (480, 400),
                   stride: int | None = None, dpi: int = 100) -> int:
    """Writes an animated GIF of the 3D view, one picture every ``stride`` records of the
    fastest datagroup (by default so that the GIF holds at most ANIMATION_FRAMES pictures),
    playing in real time as far as a GIF can. Answers the number of pictures."""
    from matplotlib.animation import FuncAnimation, PillowWriter

    scene = _Scene(take, datagroup, channels)
    rate = max(group.rate for group, _, _ in scene.layers)
    records = int(round((scene.end - scene.start) * rate)) + 1
    stride = stride or max(1, math.ceil(records / ANIMATION_FRAMES))
    times = scene.start + np.arange(0, records, stride) / rate
    figure = _figure(size, dpi)
    bounds = scene.bounds()

    def draw(time: float) -> None:
        figure.clear()
        rows = scene.rows_at(time)
        scene.draw(_frame_axes(figure, bounds), rows)
        figure.suptitle(f"{name} at {time:.2f} s", fontsize="medium")

    fps = min(50.0, max(1.0, rate / stride))
    FuncAnimation(figure, draw, frames=times, cache_frame_data=False).save(
        str(path), writer=PillowWriter(fps=fps))
    return len(times)


def _size(text: str) -> tuple[int, int]:
    match = re.fullmatch(r"(\d+)x(\d+)", text)
    if not match or min(int(match[1]), int(match[2])) < 100:
        raise argparse.ArgumentTypeError(f"expected WIDTHxHEIGHT in pixels, at least 100x100: "
                                         f"{text!r}")
    return int(match[1]), int(match[2])


def _datagroup(text: str) -> int | str:
    """A datagroup id, or a name."""
    return int(text) if re.fullmatch(r"-?\d+", text) else text


def _positive(text: str) -> int:
    if not re.fullmatch(r"\d+", text) or int(text) < 1:
        raise argparse.ArgumentTypeError(f"expected a whole number of at least 1: {text!r}")
    return int(text)


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(prog="python3 -m kfile.plot", description=__doc__.split(
        "\n\n")[0], formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("take", type=Path, help="the K-file")
    parser.add_argument("--out", type=Path, required=True,
                        help="the picture to write: PNG, or GIF with --animate")
    parser.add_argument("--datagroup", type=_datagroup,
                        help="datagroup id or name (curves: 0 by default; 3D: every one)")
    parser.add_argument("--channels", default="*", help="shell-style pattern on channel labels")
    view = parser.add_mutually_exclusive_group()
    view.add_argument("--time", type=float, metavar="SECONDS",
                      help="draw markers and segments in 3D at this time")
    view.add_argument("--frame", type=int,
                      help="the same at the time of this frame of datagroup 0")
    view.add_argument("--animate", action="store_true", help="an animated 3D view (GIF)")
    parser.add_argument("--stride", type=_positive,
                        help=f"--animate: one picture every STRIDE records (by default at most "
                             f"{ANIMATION_FRAMES} pictures)")
    parser.add_argument("--size", type=_size, help="WIDTHxHEIGHT pixels")
    return parser


def _draw(options: argparse.Namespace) -> None:
    take = read(options.take)
    common = dict(channels=options.channels, name=options.take.stem)
    if options.size:
        common["size"] = options.size
    if options.animate:
        save_animation(take, options.out, options.datagroup, stride=options.stride, **common)
        return
    if options.frame is not None:
        options.time = options.frame / take.datagroup(0).rate
    if options.time is None:
        figure = curves_figure(take, 0 if options.datagroup is None else options.datagroup,
                               **common)
    else:
        figure = time_figure(take, options.time, options.datagroup, **common)
    figure.savefig(options.out)


def main(argv: Sequence[str] | None = None) -> int:
    """The command line; answers the exit status."""
    options = _parser().parse_args(argv)
    try:
        _draw(options)
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
