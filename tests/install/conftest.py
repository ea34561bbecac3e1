# The build under test and its staged installation (a DESTDIR under the build, prefix /usr),
# given by CTest (tests/CMakeLists.txt) in the environment.
import os
import pathlib

import pytest


def _env(name):
    value = os.environ.get(name)
    if not value:
        pytest.exit(f"{name} is not set; run these tests through ctest", returncode=2)
    return value


@pytest.fixture(scope="session")
def source_dir():
    return pathlib.Path(_env("SISMORA_SOURCE_DIR"))


@pytest.fixture(scope="session")
def build_dir():
    return pathlib.Path(_env("SISMORA_BUILD_DIR"))


@pytest.fixture(scope="session")
def version():
    return _env("SISMORA_VERSION")


@pytest.fixture(scope="session")
def app_id():
    return _env("SISMORA_APP_ID")


@pytest.fixture(scope="session")
def libdir():
    """The library folder under the prefix, e.g. lib."""
    return _env("SISMORA_LIBDIR")


@pytest.fixture(scope="session")
def pydir():
    """The folder of the Python package under the prefix, e.g. lib/python3/dist-packages."""
    return _env("SISMORA_PYTHON_DIR")


@pytest.fixture(scope="session")
def gui():
    return _env("SISMORA_GUI") == "ON"


@pytest.fixture(scope="session")
def stage():
    """The staging folder: the installation's files are under stage / "usr"."""
    path = pathlib.Path(_env("SISMORA_STAGE"))
    if not (path / "usr").is_dir():
        pytest.fail(f"nothing is staged in {path}; the test install.Stage runs first")
    return path


@pytest.fixture(scope="session")
def usr(stage):
    return stage / "usr"
