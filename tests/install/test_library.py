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


RECORD_PROGRAM = r"""
#include <stdio.h>
#include <sismora.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  sismora_record* rec = sismora_open(argv[1], "");
  if (sismora_error(rec)[0] != '\0') {
    printf("error: %s\n", sismora_error(rec));
    sismora_free(rec);
    return 1;
  }
  float first[4];
  int32_t n = sismora_samples(rec, 1, first, 4);
  printf("%d channels, %d samples at %d Hz, %d copied, version %s\n", sismora_channel_count(rec),
         sismora_sample_count(rec), sismora_rate(rec), n, sismora_version());
  sismora_free(rec);
  return 0;
}
"""


@pytest.mark.parametrize("how", ["pkg-config", "cmake"])
def test_a_c_program_reads_a_record_through_the_staged_record_library(how, stage, usr, lib, source_dir, tmp_path):
    (tmp_path / "records.c").write_text(RECORD_PROGRAM)
    if how == "pkg-config":
        flags = run(["pkg-config", "--cflags", "--libs", "sismora"], env=pkg_config_env(stage, lib)).stdout.split()
        run(["cc", "-std=c99", "-Wall", "-Wextra", "-Werror", "records.c", "-o", "records", *flags], cwd=tmp_path)
        program = tmp_path / "records"
    else:
        (tmp_path / "CMakeLists.txt").write_text(
            "cmake_minimum_required(VERSION 3.16)\nproject(records C)\nfind_package(sismora 1 REQUIRED)\n"
            "add_executable(records records.c)\ntarget_link_libraries(records PRIVATE sismora::sismora)\n")
        build = tmp_path / "build"
        run(["cmake", "-S", tmp_path, "-B", build, f"-DCMAKE_PREFIX_PATH={usr}", "-DCMAKE_BUILD_TYPE=Release"])
        run(["cmake", "--build", build])
        program = build / "records"
    env = loading_the_library(dict(os.environ, LD_LIBRARY_PATH=str(lib)))
    out = run([program, source_dir / "samples/demo.ac"], env=env).stdout
    assert re.fullmatch(r"\d+ channels, \d+ samples at \d+ Hz, 4 copied, version \d+\.\d+\n", out), out
    done = subprocess.run([str(program), str(tmp_path / "missing.ac")], env=env, capture_output=True, text=True,
                          timeout=60)
    assert done.returncode == 1 and done.stdout == "error: File does not exist.\n"
