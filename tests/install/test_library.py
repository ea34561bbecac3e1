# Programs in C and Python call the staged library the way README.md shows: its examples are
# compiled and run here against the staged installation.
import os
import re
import shlex
import subprocess
import sys

import pytest

from helpers import blocks_of, expect_spectrum_lines, loading_the_library, run


@pytest.fixture
def lib(usr, libdir):
    return usr / libdir


def pkg_config_env(stage, lib):
    """pkg-config looking only at the staged files, with the staging folder as the root."""
    return dict(os.environ, PKG_CONFIG_LIBDIR=str(lib / "pkgconfig"), PKG_CONFIG_SYSROOT_DIR=str(stage),
                PKG_CONFIG_PATH="")


def run_staged(program, lib):
    env = dict(os.environ, LD_LIBRARY_PATH=str(lib))
    return run([program], env=loading_the_library(env)).stdout


def test_pkg_config_describes_the_staged_library(stage, usr, lib, version):
    env = pkg_config_env(stage, lib)
    assert run(["pkg-config", "--modversion", "sismcalc"], env=env).stdout.strip() == version
    flags = run(["pkg-config", "--cflags", "--libs", "sismcalc"], env=env).stdout.split()
    assert f"-I{usr}/include" in flags and f"-L{lib}" in flags and "-lsismcalc" in flags
    # The file itself names the prefix of the installation, /usr.
    assert "prefix=/usr\n" in (lib / "pkgconfig/sismcalc.pc").read_text()


def test_the_readme_c_example_builds_through_pkg_config_and_runs(source_dir, stage, lib, tmp_path):
    (source := tmp_path / "spectrum.c").write_text(blocks_of(source_dir, "Use from C", "c")[0])
    command = next(line for text in blocks_of(source_dir, "Use from C", "sh") for line in text.splitlines()
                   if line.startswith("cc "))
    # The README's command as it stands, with warnings on so that the example stays clean C.
    run(["sh", "-c", command.replace("cc ", "cc -std=c99 -Wall -Wextra -Werror ", 1)], cwd=tmp_path,
        env=pkg_config_env(stage, lib))
    assert source.exists()
    expect_spectrum_lines(run_staged(tmp_path / "spectrum", lib))


def test_the_readme_cmake_example_finds_the_package(source_dir, usr, lib, tmp_path):
    (tmp_path / "spectrum.c").write_text(blocks_of(source_dir, "Use from C", "c")[0])
    (tmp_path / "CMakeLists.txt").write_text(blocks_of(source_dir, "Use from C", "cmake")[0])
    build = tmp_path / "build"
    run(["cmake", "-S", tmp_path, "-B", build, f"-DCMAKE_PREFIX_PATH={usr}", "-DCMAKE_BUILD_TYPE=Release"])
    run(["cmake", "--build", build])
    expect_spectrum_lines(run_staged(build / "spectrum", lib))


def test_a_newer_major_version_is_not_found(usr, tmp_path):
    (tmp_path / "CMakeLists.txt").write_text(
        "cmake_minimum_required(VERSION 3.16)\nproject(p NONE)\nfind_package(sismcalc 2 REQUIRED)\n")
    done = subprocess.run(["cmake", "-S", str(tmp_path), "-B", str(tmp_path / "b"), f"-DCMAKE_PREFIX_PATH={usr}"],
                          capture_output=True, text=True, timeout=120)
    assert done.returncode != 0
    assert "sismcalc" in done.stderr


def test_the_readme_python_example_runs_on_the_installed_package(source_dir, usr, lib, pydir, tmp_path):
    code = blocks_of(source_dir, "Use from Python", "python")[0]
    shown = blocks_of(source_dir, "Use from Python", "text")[0]
    (script := tmp_path / "example.py").write_text(code)
    # The installed package finds the installed library by itself.
    env = {k: v for k, v in os.environ.items() if k not in ("SISMCALC_LIBRARY", "PYTHONPATH", "LD_LIBRARY_PATH")}
    env["PYTHONPATH"] = str(usr / pydir)
    env = loading_the_library(env)
    out = run([sys.executable, script], env=env, cwd=tmp_path).stdout
    assert out == shown
    where = run([sys.executable, "-c", "import sismcalc; print(sismcalc.library()._name)"], env=env).stdout
    assert os.path.realpath(where.strip()) == os.path.realpath(lib / "libsismcalc.so.1")
