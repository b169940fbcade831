"""The build backend behind `pip install .`: CMake builds the two libraries,
and the wheel holds the varnolith package with both beside its modules.
`pip install -e .` builds them into python/varnolith/ of the source tree
instead, and installs a .pth file that puts python/ on sys.path.

Standard library only, so that pip needs nothing from a package index, not
even with its default build isolation: setuptools alone cannot write a wheel
without the separate `wheel` package, which a plain Python installation lacks.
"""

from __future__ import annotations

import base64
import hashlib
import io
import os
import re
import shutil
import subprocess
import sysconfig
import tarfile
import tempfile
import zipfile
from pathlib import Path

NAME = "varnolith"
SUMMARY = "Short-Deck (36-card) Hold'em equity: hands, ranges, hand values"
REQUIRES_PYTHON = ">=3.9"
# The files the package loads with ctypes, and the CMake targets that make them.
LIBRARIES = {"libvarnolith.so.1": "varnolith", "libvarnolith_range.so.1": "varnolith_range"}
# The package's files besides its modules: the marker that it has type hints.
DATA_FILES = ("py.typed",)
# `varnolith` on the PATH runs `python -m varnolith`.
ENTRY_POINTS = "[console_scripts]\nvarnolith = varnolith.__main__:main\n"
# Names a CMake build folder to build in and keep, so that a second install
# (or an editable one after a plain one) rebuilds only what changed.
BUILD_DIR_VARIABLE = "VARNOLITH_BUILD_DIR"
# Fixed, so that the same sources give the same archive.
ZIP_TIME = (1980, 1, 1, 0, 0, 0)


def _root() -> Path:
    # pip runs the backend in the source tree's root.
    return Path.cwd()


def _version() -> str:
    # The version lives once, in the public header.
    header = (_root() / "include" / "varnolith" / "varnolith.h").read_text()
    parts = [re.search(rf"#define VARNOLITH_VERSION_{part} (\d+)", header) for part in ("MAJOR", "MINOR", "PATCH")]
    return ".".join(match.group(1) for match in parts if match)


def _metadata() -> str:
    return (f"Metadata-Version: 2.1\nName: {NAME}\nVersion: {_version()}\nSummary: {SUMMARY}\n"
            f"Requires-Python: {REQUIRES_PYTHON}\n")


def _tag() -> str:
    # The libraries are loaded through ctypes, not the Python C API: any Python 3
    # on this platform will do.
    return "py3-none-" + re.sub(r"[-.]", "_", sysconfig.get_platform())


def _dist_info() -> str:
    return f"{NAME}-{_version()}.dist-info"


def _dist_info_files() -> dict[str, bytes]:
    wheel = f"Wheel-Version: 1.0\nGenerator: {NAME} build_backend\nRoot-Is-Purelib: false\nTag: {_tag()}\n"
    return {"METADATA": _metadata().encode(), "WHEEL": wheel.encode(), "top_level.txt": f"{NAME}\n".encode(),
            "entry_points.txt": ENTRY_POINTS.encode()}


def _build_libraries(scratch: Path) -> dict[str, bytes]:
    cmake = shutil.which("cmake")
    if cmake is None:
        raise RuntimeError("cmake is needed to build the varnolith libraries; install it (Debian: cmake)")
    built = Path(os.environ.get(BUILD_DIR_VARIABLE) or scratch / "cmake").resolve()
    subprocess.run([cmake, "-S", str(_root()), "-B", str(built), "-DCMAKE_BUILD_TYPE=Release",
                    "-DVARNOLITH_BUILD_TESTS=OFF", "-DVARNOLITH_BUILD_BENCH=OFF", "-DVARNOLITH_BUILD_FUZZ=OFF"],
                   check=True)
    build = [cmake, "--build", str(built), "--target", *LIBRARIES.values()]
    if "CMAKE_BUILD_PARALLEL_LEVEL" not in os.environ:  # else CMake takes it from there
        build += ["--parallel", str(os.cpu_count() or 1)]
    subprocess.run(build, check=True)
    libraries = {}
    for file in LIBRARIES:
        found = sorted(built.rglob(file))
        if not found:
            raise RuntimeError(f"the CMake build made no {file}")
        libraries[file] = found[0].resolve().read_bytes()  # the file behind the SONAME link
    return libraries


def _record_line(path: str, data: bytes) -> str:
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{path},sha256={digest},{len(data)}"


def _write_wheel(path: Path, files: dict[str, tuple[bytes, int]]) -> None:
    record = f"{_dist_info()}/RECORD"
    lines = [_record_line(name, data) for name, (data, _) in files.items()] + [f"{record},,"]
    files = {**files, record: (("\n".join(lines) + "\n").encode(), 0o644)}
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as wheel:
        for name, (data, mode) in files.items():
            info = zipfile.ZipInfo(name, ZIP_TIME)
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            wheel.writestr(info, data)


def get_requires_for_build_wheel(config_settings=None) -> list[str]:
    return []


def get_requires_for_build_sdist(config_settings=None) -> list[str]:
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None) -> str:
    # Lets pip read the metadata without building the libraries twice.
    folder = Path(metadata_directory) / _dist_info()
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in _dist_info_files().items():
        (folder / name).write_bytes(data)
    return folder.name


def _libraries() -> dict[str, bytes]:
    with tempfile.TemporaryDirectory(prefix=f"{NAME}-build-") as scratch:
        return _build_libraries(Path(scratch))


def _finish_wheel(wheel_directory, files: dict[str, tuple[bytes, int]]) -> str:
    for name, data in _dist_info_files().items():
        files[f"{_dist_info()}/{name}"] = (data, 0o644)
    wheel = f"{NAME}-{_version()}-{_tag()}.whl"
    _write_wheel(Path(wheel_directory) / wheel, files)
    return wheel


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None) -> str:
    # Named files only: nothing of a build folder or a stray cache gets in.
    package = _root() / "python" / NAME
    files = {f"{NAME}/{path.name}": (path.read_bytes(), 0o644)
             for path in sorted(package.glob("*.py")) + [package / name for name in DATA_FILES]}
    for file, data in _libraries().items():
        files[f"{NAME}/{file}"] = (data, 0o755)
    return _finish_wheel(wheel_directory, files)


get_requires_for_build_editable = get_requires_for_build_wheel
prepare_metadata_for_build_editable = prepare_metadata_for_build_wheel


def build_editable(wheel_directory, config_settings=None, metadata_directory=None) -> str:
    # The modules stay in the source tree, where edits take effect at once; the
    # libraries go beside them, the first place the package looks.
    package = _root() / "python" / NAME
    for file, data in _libraries().items():
        fresh = package / f".{file}.new"
        fresh.write_bytes(data)
        fresh.chmod(0o755)
        fresh.replace(package / file)  # a process that has the old one mapped keeps it whole
    path_file = f"__editable__.{NAME}-{_version()}.pth"
    return _finish_wheel(wheel_directory, {path_file: (f"{package.parent.resolve()}\n".encode(), 0o644)})


def build_sdist(sdist_directory, config_settings=None) -> str:
    # The source tree without build folders, hidden entries and caches.
    top = f"{NAME}-{_version()}"
    root = _root()

    def skip(path: Path) -> bool:
        parts = path.relative_to(root).parts
        return (parts[0] == "build" or any(part.startswith(".") or part == "__pycache__" for part in parts)
                or path.suffix == ".pyc" or (parts[:2] == ("python", NAME) and ".so" in path.name))

    archive = f"{top}.tar.gz"
    with tarfile.open(Path(sdist_directory) / archive, "w:gz", format=tarfile.PAX_FORMAT) as sdist:
        for path in sorted(root.rglob("*")):
            if path.is_file() and not skip(path):
                sdist.add(path, f"{top}/{path.relative_to(root).as_posix()}", recursive=False)
        info = tarfile.TarInfo(f"{top}/PKG-INFO")
        data = _metadata().encode()
        info.size, info.mode = len(data), 0o644
        sdist.addfile(info, io.BytesIO(data))
    return archive
