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
import errno
import fnmatch
import io
import math
import os
import re
import sys
from pathlib import Path
from typing import Iterator, Sequence

import numpy as np
from matplotlib.backends.backend_agg import FigureCanvasAgg
from matplotlib.figure import Figure
from mpl_toolkits.mplot3d import proj3d

from . import Datagroup, Points, ReadError, Take, _write_file, read, subject_of

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
        self.rate = max(group.rate for group, _, _ in self.layers)
        self.step = 1 / self.rate  # between records of the fastest datagroup

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

    def subjects(self, layer: int) -> tuple[list[str], list[str]]:
        """The subjects with markers and those with segments in one datagroup, in order."""
        _, markers, segments = self.layers[layer]
        return ([*dict.fromkeys(map(subject_of, markers.names))],
                [*dict.fromkeys(map(subject_of, segments.names))])

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


def _bones(xyz: np.ndarray) -> Iterator[tuple[np.ndarray, np.ndarray]]:
    """Lines between the segments of one subject. The file does not say which segment hangs
    from which; segments are listed parents first, so each joins the nearest one listed
    before it."""
    for index in range(1, len(xyz)):
        distances = np.linalg.norm(xyz[:index] - xyz[index], axis=1)
        yield xyz[int(distances.argmin())], xyz[index]


class _View:
    """The scene in 3D axes, drawn once and then moved from record to record: per datagroup and
    subject, one set of dots for the markers, one of triangles for the segment origins, one line
    through the bones, and the subject's name above its points, coloured by subject."""

    def __init__(self, figure: Figure, scene: _Scene, bounds: np.ndarray):
        self.ax = _frame_axes(figure, bounds)
        self.scene = scene
        self.markers: list[dict[str, object]] = []
        self.segments: list[dict[str, tuple[object, object]]] = []
        ax = self.ax
        for layer in range(len(scene.layers)):
            with_markers, with_segments = scene.subjects(layer)
            self.markers.append({subject: ax.scatter(
                [], [], [], color=scene.colours[subject], s=10, depthshade=False,
                label=f"{subject} markers") for subject in with_markers})
            self.segments.append({subject: (
                ax.plot([], [], [], color=scene.colours[subject], linewidth=2)[0],
                ax.scatter([], [], [], color=scene.colours[subject], marker="^", s=36,
                           edgecolors="black", linewidths=0.5, depthshade=False,
                           label=f"{subject} segments")) for subject in with_segments})
        ax.apply_aspect()  # where the axes sit, for placing names on the screen
        self.names = {subject: ax.text2D(0, 0, subject, color=colour, fontweight="bold",
                                         ha="center", va="bottom", transform=ax.transData)
                      for subject, colour in scene.colours.items()}

    def show(self, rows: list[int]) -> None:
        """Moves every artist to the given row of each datagroup."""
        points: dict[str, list[np.ndarray]] = {}
        for layer, ((_, markers, segments), row) in enumerate(zip(self.scene.layers, rows)):
            present = _by_subject(markers, row)
            for subject, dots in self.markers[layer].items():
                xyz = present.get(subject, _NO_POINTS)
                _move(dots, xyz)
                points.setdefault(subject, []).append(xyz)
            present = _by_subject(segments, row)
            for subject, (bones, triangles) in self.segments[layer].items():
                xyz = present.get(subject, _NO_POINTS)
                _move(triangles, xyz)
                bones.set_data_3d(*_bone_path(xyz).T)
                points.setdefault(subject, []).append(xyz)
        self._place_names(points)

    def _moving(self) -> list:
        return [*self.ax.lines, *self.ax.collections, *self.ax.texts]

    def still_background(self):
        """The figure drawn without the moving artists (axes, panes, ticks and labels stay put
        from picture to picture), to restore before each picture: most of a 3D figure's
        drawing is its axes."""
        visible = [(artist, artist.get_visible()) for artist in self._moving()]
        for artist, _ in visible:
            artist.set_visible(False)
        self.ax.figure.canvas.draw()
        for artist, was in visible:
            artist.set_visible(was)
        return self.ax.figure.canvas.copy_from_bbox(self.ax.figure.bbox)

    def draw_moving(self) -> None:
        """Draws the moving artists over the still background: the bones, then the dots from
        the farthest set to the nearest, as the 3D axes order them, then the names."""
        ax = self.ax
        for line in ax.lines:
            ax.draw_artist(line)
        for dots in sorted(ax.collections, key=lambda dots: dots.do_3d_projection(),
                           reverse=True):
            ax.draw_artist(dots)
        for name in ax.texts:
            ax.draw_artist(name)

    def _place_names(self, points: dict[str, list[np.ndarray]]) -> None:
        """Each name centred above its subject's points on the screen, and raised above any
        other point it would cover."""
        ax = self.ax
        projection = ax.get_proj()
        screen = {}
        for subject, xyz in points.items():
            xyz = np.concatenate(xyz)
            x, y, _ = proj3d.proj_transform(*xyz.T, projection)
            screen[subject] = ax.transData.transform(np.column_stack([x, y]))
        every = np.concatenate(list(screen.values()) or [np.empty((0, 2))])
        renderer = ax.figure.canvas.get_renderer()
        gap = 4 * ax.figure.dpi / 72
        placed: list[np.ndarray] = []  # names already placed: left, right, bottom, top
        for subject, name in self.names.items():
            on_screen = screen.get(subject, np.empty((0, 2)))
            name.set_visible(len(on_screen) > 0)
            if not len(on_screen):
                continue
            box = name.get_window_extent(renderer)
            centre = (on_screen[:, 0].min() + on_screen[:, 0].max()) / 2
            left, right = centre - box.width / 2 - gap, centre + box.width / 2 + gap
            under = every[(every[:, 0] >= left) & (every[:, 0] <= right)]
            # Obstacles as boxes (left, right, bottom, top): the points, then the names.
            obstacles = [np.column_stack([under[:, 0], under[:, 0], under[:, 1], under[:, 1]]),
                         *(b[None] for b in placed if b[0] < right and b[1] > left)]
            obstacles = np.concatenate(obstacles)
            bottom = on_screen[:, 1].max() + gap
            for _ in range(len(obstacles)):
                covered = obstacles[(obstacles[:, 3] >= bottom - gap) &
                                    (obstacles[:, 2] <= bottom + box.height)]
                if not len(covered):
                    break
                bottom = covered[:, 3].max() + gap
            placed.append(np.array([left, right, bottom, bottom + box.height]))
            name.set_position(ax.transData.inverted().transform((centre, bottom)))


_NO_POINTS = np.empty((0, 3))


def _move(dots, xyz: np.ndarray) -> None:
    """Puts the dots of a 3D scatter at the given points."""
    dots.set_offsets(xyz[:, :2])
    dots.set_3d_properties(xyz[:, 2], "z")


def _bone_path(xyz: np.ndarray) -> np.ndarray:
    """The bones of one subject as one path: each bone's two ends, then a gap (NaN)."""
    path = [row for start, end in _bones(xyz) for row in (start, end, [np.nan] * 3)]
    return np.array(path) if path else _NO_POINTS


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
    if not scene.start - scene.step / 2 <= time <= scene.end + scene.step / 2:
        raise ValueError(f"time {time:g} s is outside the take, which runs from "
                         f"{scene.start:g} s to {scene.end:g} s")
    figure = _figure(size, dpi)
    _View(figure, scene, scene.bounds(rows)).show(rows)
    figure.suptitle(f"{name} at {time:.3f} s\n{scene.caption(rows)}", fontsize="medium")
    return figure


def save_animation(take: Take, path: str | Path, datagroup: int | str | None = None,
                   channels: str = "*", name: str = "take", size: tuple[int, int] = (480, 400),
                   stride: int | None = None, dpi: int = 100) -> int:
    """Writes an animated GIF of the 3D view that plays in real time: each picture stays for
    as long as the take spends between it and the next. A picture every ``stride`` records of
    the fastest datagroup; by default as many as the GIF can show (one every 20 ms at most),
    and when that is more than ANIMATION_FRAMES, that many chosen evenly over the take.
    Answers the number of pictures. Raises ValueError for a stride whose pictures come faster
    than a GIF plays them. The file is replaced only once complete (see ``kfile.write``).
    """
    from PIL import Image

    scene = _Scene(take, datagroup, channels)
    starts, durations = _picture_times(scene, stride)
    figure = _figure(size, dpi)
    view = _View(figure, scene, scene.bounds())
    title = figure.suptitle("", fontsize="medium")
    canvas = figure.canvas
    background = view.still_background()
    palette = None
    pictures = []
    for time in starts:
        view.show(scene.rows_at(time))
        title.set_text(f"{name} at {time:.2f} s")
        canvas.restore_region(background)
        view.draw_moving()
        figure.draw_artist(title)
        # Kept as the GIF stores them, a byte a pixel, in the colours of the first picture:
        # every picture holds the same few, and finding them once is most of the cost.
        picture = Image.frombuffer("RGBA", canvas.get_width_height(),
                                   canvas.buffer_rgba()).convert("RGB")
        palette = palette or picture.quantize(colors=256)
        pictures.append(picture.quantize(palette=palette, dither=Image.Dither.NONE))
    data = io.BytesIO()
    pictures[0].save(data, format="GIF", save_all=True, append_images=pictures[1:],
                     duration=durations, loop=0)
    _write_file(path, data.getvalue())
    return len(pictures)


# A GIF's picture durations are whole centiseconds, and players show pictures of less than two
# for a tenth of a second.
_SHORTEST_PICTURE = 0.02


def _picture_times(scene: _Scene, stride: int | None) -> tuple[np.ndarray, list[int]]:
    """The time of each picture, and how long each is shown in milliseconds: whole
    centiseconds, rounded so that their sum keeps up with the take."""
    records = int(round((scene.end - scene.start) * scene.rate)) + 1
    fastest = math.ceil(_SHORTEST_PICTURE * scene.rate - 1e-9)
    if stride is not None and stride < fastest:
        every = 1000 * stride / scene.rate
        raise ValueError(f"a stride of {stride} shows a picture every {every:.3g} ms, faster "
                         f"than a GIF plays: use a stride of {fastest} or more")
    first = np.arange(0, records, stride or max(1, fastest))
    if stride is None and len(first) > ANIMATION_FRAMES:
        first = np.arange(ANIMATION_FRAMES) * records // ANIMATION_FRAMES
    centiseconds = np.round(np.append(first, records) * 100 / scene.rate).astype(int)
    # Only a last picture of less than a stride can be shorter than a player shows.
    shown = np.maximum(np.diff(centiseconds), round(_SHORTEST_PICTURE * 100))
    return scene.start + first / scene.rate, [int(d) * 10 for d in shown]


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
                        help="the picture to write: PNG (or SVG, PDF, ...), or GIF with --animate")
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
                        help=f"--animate: one picture every STRIDE records (by default as many as "
                             f"a GIF shows, 20 ms apart or more, and at most {ANIMATION_FRAMES} "
                             f"chosen evenly); the GIF plays in real time")
    parser.add_argument("--size", type=_size, help="WIDTHxHEIGHT pixels")
    return parser


# Suffixes of still pictures that the Agg canvas writes.
_STILL_SUFFIXES = sorted(FigureCanvasAgg.get_supported_filetypes())


def _check_out(options: argparse.Namespace) -> None:
    """Refuses a picture that could not be written before anything is drawn."""
    out: Path = options.out
    suffix = out.suffix.lower().lstrip(".")
    if options.animate and suffix != "gif":
        raise ValueError(f"--animate writes a GIF: name the picture {out.stem or 'take'}.gif")
    if not options.animate and suffix == "gif":
        raise ValueError(f"a GIF is an animation: add --animate to write {out}")
    if not options.animate and suffix not in _STILL_SUFFIXES:
        raise ValueError(f"--out {str(out)!r} names no kind of picture: end it in .png, .svg, "
                         f".pdf (or another of {', '.join(_STILL_SUFFIXES)}), or .gif with "
                         f"--animate")
    folder = out.parent
    if not folder.is_dir():
        problem = errno.ENOTDIR if folder.exists() else errno.ENOENT
        raise OSError(problem, os.strerror(problem), str(folder))
    for place in (folder, out):
        if place.exists() and not os.access(place, os.W_OK):
            raise OSError(errno.EACCES, os.strerror(errno.EACCES), str(place))


def _time_of_frame(take: Take, frame: int) -> float:
    group = take.datagroup(0)
    if len(group.frames) == 0 or not group.frames[0] <= frame <= group.frames[-1]:
        span = (f"holds frames {group.frames[0]} to {group.frames[-1]}" if len(group.frames)
                else "holds no frames")
        raise ValueError(f"frame {frame} is outside the take: datagroup 0 {span}")
    return frame / group.rate


def _draw(options: argparse.Namespace) -> None:
    _check_out(options)
    take = read(options.take)
    common = dict(channels=options.channels, name=options.take.stem)
    if options.size:
        common["size"] = options.size
    if options.animate:
        save_animation(take, options.out, options.datagroup, stride=options.stride, **common)
        return
    if options.frame is not None:
        options.time = _time_of_frame(take, options.frame)
    if options.time is None:
        figure = curves_figure(take, 0 if options.datagroup is None else options.datagroup,
                               **common)
    else:
        figure = time_figure(take, options.time, options.datagroup, **common)
    picture = io.BytesIO()
    figure.savefig(picture, format=options.out.suffix.lower().lstrip("."))
    _write_file(options.out, picture.getvalue())


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
