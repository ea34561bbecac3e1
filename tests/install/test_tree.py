# The staged installation holds what a system needs, nothing of the build besides, and its
# programs run from where they are installed.
import ctypes
import os
import shutil
import subprocess
import sys

import pytest

from helpers import run


def system_has_the_library():
    try:
        ctypes.CDLL("libsismcalc.so.1")
        return True
    except OSError:
        return False


def installed_files(usr):
    return sorted(str(p.relative_to(usr)) for p in usr.rglob("*") if p.is_file() or p.is_symlink())


def test_the_tree_holds_the_programs_library_and_data(usr, version, app_id, gui, libdir, pydir):
    files = set(installed_files(usr))
    expected = {
        "bin/sismora-cli",
        f"{libdir}/libsismcalc.so", f"{libdir}/libsismcalc.so.1", f"{libdir}/libsismcalc.so.{version}",
        "include/sismcalc.h",
        f"{libdir}/pkgconfig/sismcalc.pc",
        f"{libdir}/cmake/sismcalc/sismcalcConfig.cmake", f"{libdir}/cmake/sismcalc/sismcalcConfigVersion.cmake",
        f"{libdir}/cmake/sismcalc/sismcalcTargets.cmake",
        f"{pydir}/sismcalc/__init__.py",
        f"{pydir}/sismcalc/_library.py",
        f"{pydir}/sismcalc/_kernels.py",
        f"{pydir}/sismcalc/_measures.py",
        f"{pydir}/sismcalc/_processing.py",
        f"{pydir}/sismcalc/_installed.py",
        f"{pydir}/sismcalc/_friendly.py",
        f"{pydir}/sismcalc/_arrays.py",
        f"{pydir}/sismcalc/_version.py",
        f"{pydir}/sismcalc-{version}.dist-info/METADATA",
        # The record library and its Python package.
        f"{libdir}/libsismora.so", f"{libdir}/libsismora.so.1", f"{libdir}/libsismora.so.{version}",
        "include/sismora.h",
        f"{libdir}/pkgconfig/sismora.pc",
        f"{libdir}/cmake/sismora/sismoraConfig.cmake", f"{libdir}/cmake/sismora/sismoraConfigVersion.cmake",
        f"{libdir}/cmake/sismora/sismoraTargets.cmake",
        *(f"{pydir}/sismora/{m}.py" for m in ("__init__", "_library", "_record", "_installed", "_version")),
        f"{pydir}/sismora-{version}.dist-info/METADATA",
        "share/man/man1/sismora-cli.1.gz",
        "share/doc/sismora/README.md",
    }
    # Each package's licence and history.
    for package in ("libsismcalc1", "libsismcalc-dev", "python3-sismcalc", "sismora", "libsismora1", "libsismora-dev",
                    "python3-sismora"):
        expected |= {f"share/doc/{package}/copyright", f"share/doc/{package}/changelog.gz"}
    expected |= {"share/bash-completion/completions/sismora-cli", "share/zsh/vendor-completions/_sismora-cli",
                 "share/fish/vendor_completions.d/sismora-cli.fish"}
    if gui:
        expected |= {
            "bin/sismora",
            "share/man/man1/sismora.1.gz",
            f"share/applications/{app_id}.desktop",
            f"share/metainfo/{app_id}.metainfo.xml",
            "share/mime/packages/sismora.xml",
            f"share/icons/hicolor/scalable/apps/{app_id}.svg",
        }
        expected |= {f"share/icons/hicolor/{s}x{s}/apps/{app_id}.png" for s in (16, 22, 24, 32, 48, 64, 128, 256, 512)}
    assert sorted(expected - files) == []
    # Nothing of the build's own: test programs, the demo generator, Python caches.
    unexpected = [f for f in sorted(files - expected)
                  if not f.startswith((f"{libdir}/cmake/sismcalc/sismcalcTargets-", f"{libdir}/cmake/sismora/sismoraTargets-"))]
    assert unexpected == []


def test_the_library_is_versioned_with_its_soname(usr, version, libdir):
    # In Debian's multiarch folder, which the loader searches.
    multiarch = run(["dpkg-architecture", "-qDEB_HOST_MULTIARCH"]).stdout.strip()
    assert libdir == f"lib/{multiarch}"
    lib = usr / libdir
    assert os.readlink(lib / "libsismcalc.so") == "libsismcalc.so.1"
    assert os.readlink(lib / "libsismcalc.so.1") == f"libsismcalc.so.{version}"
    dynamic = run(["readelf", "-d", lib / f"libsismcalc.so.{version}"]).stdout
    assert "Library soname: [libsismcalc.so.1]" in dynamic


def test_the_header_is_the_source_header(usr, source_dir):
    assert (usr / "include/sismcalc.h").read_bytes() == (source_dir / "sismcalc/include/sismcalc.h").read_bytes()
    assert (usr / "include/sismora.h").read_bytes() == (source_dir / "app/library/include/sismora.h").read_bytes()


def test_the_record_library_exports_its_flat_functions_only(usr, version, libdir):
    so = usr / libdir / f"libsismora.so.{version}"
    assert "Library soname: [libsismora.so.1]" in run(["readelf", "-d", so]).stdout
    assert "RUNPATH" not in run(["readelf", "-d", so]).stdout
    names = [line.split()[2] for line in run(["nm", "-D", "--defined-only", so]).stdout.splitlines() if line]
    assert names and all(n.startswith("sismora_") for n in names), [n for n in names if not n.startswith("sismora_")]


def test_the_installed_python_packages_have_their_metadata(usr, pydir, libdir, version):
    env = {k: v for k, v in os.environ.items() if k not in ("SISMCALC_LIBRARY", "SISMORA_LIBRARY", "PYTHONPATH",
                                                            "LD_LIBRARY_PATH")}
    env["PYTHONPATH"] = str(usr / pydir)
    code = ("import importlib.metadata as m, sismora, sismcalc\n"
            "print(m.version('sismora'), m.version('sismcalc'), sismora.__version__, sismcalc.__version__)\n"
            "print(sismora.library()._name)\n")
    versions, library = run([sys.executable, "-c", code], env=env).stdout.splitlines()
    assert versions.split() == [version] * 4
    # The installed package finds the installed library by itself.
    assert os.path.realpath(library) == os.path.realpath(usr / libdir / "libsismora.so.1")


def test_icons_are_pngs_of_their_size(usr, app_id, gui):
    if not gui:
        pytest.skip("built without the program")
    for size in (16, 48, 256):
        data = (usr / f"share/icons/hicolor/{size}x{size}/apps/{app_id}.png").read_bytes()
        assert data[:8] == b"\x89PNG\r\n\x1a\n"
        width, height = int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")
        assert (width, height) == (size, size)


def test_the_programs_print_their_version(usr, version, gui):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    assert run([usr / "bin/sismora-cli", "--version"], env=env).stdout == f"sismora-cli {version}\n"
    if gui:
        # Answered before a window system is needed.
        assert run([usr / "bin/sismora", "--version"], env=env).stdout == f"sismora {version}\n"
        assert "-hF" in run([usr / "bin/sismora", "--help"], env=env).stdout


def test_the_installed_tool_finds_the_installed_library_without_the_development_link(usr, source_dir, tmp_path,
                                                                                     libdir):
    copy = tmp_path / "usr"
    shutil.copytree(usr / "bin", copy / "bin", symlinks=True)
    shutil.copytree(usr / libdir, copy / libdir, symlinks=True, ignore=shutil.ignore_patterns("python3", "cmake"))
    (copy / libdir / "libsismcalc.so").unlink()
    env = dict(os.environ, XDG_CONFIG_HOME=str(tmp_path / "config"))
    env.pop("LD_LIBRARY_PATH", None)
    cli = [copy / "bin/sismora-cli", "export", "7", source_dir / "samples/demo.ac", "-o", "-"]
    out = run(cli, env=env).stdout
    assert "Response Spectrum" in out and len(out.splitlines()) > 100
    # Without it the tool has no library to fall back on (so it was the installed one it used).
    for f in (copy / libdir).glob("libsismcalc.so*"):
        f.unlink()
    if system_has_the_library():
        pytest.skip("a libsismcalc.so.1 is installed on this machine")
    done = subprocess.run([str(a) for a in cli], env=env, capture_output=True, text=True, timeout=60)
    assert done.returncode == 1
    assert "Error in loading DLL" in done.stdout + done.stderr
