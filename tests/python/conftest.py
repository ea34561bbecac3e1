# Paths of the build under test, given by CTest (tests/CMakeLists.txt) in the environment.
import os
import pathlib
import subprocess

import pytest


def _env_path(name):
    value = os.environ.get(name)
    if not value:
        pytest.exit(f"{name} is not set; run these tests through ctest", returncode=2)
    return pathlib.Path(value)


@pytest.fixture(scope="session")
def source_dir():
    return _env_path("SISMORA_SOURCE_DIR")


@pytest.fixture(scope="session")
def bin_dir():
    return _env_path("SISMORA_BIN_DIR")


@pytest.fixture(scope="session")
def samples_dir():
    path = _env_path("SISMORA_SAMPLES_DIR")
    if not path.is_dir():
        pytest.skip(f"no sample records in {path}")
    return path


@pytest.fixture
def cli(bin_dir, tmp_path):
    """Runs the build's sismora-cli with default settings; returns its standard output."""
    env = dict(os.environ, XDG_CONFIG_HOME=str(tmp_path / "config"))

    def run(*args):
        done = subprocess.run([str(bin_dir / "sismora-cli"), *map(str, args)], env=env,
                              capture_output=True, text=True, timeout=120)
        assert done.returncode == 0, done.stderr
        return done.stdout
    return run
