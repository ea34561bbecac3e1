# The installed manual pages format without warnings, are found by man, and describe every
# command, option and switch the programs' own help lists.
import gzip
import os
import re

import pytest

from helpers import run


def page_text(usr, name):
    """The page as man shows it, in plain text."""
    env = dict(os.environ, MANWIDTH="200", LC_ALL="C.UTF-8")
    return run(["man", "-l", usr / f"share/man/man1/{name}.1.gz"], env=env).stdout


def pages(gui):
    return ["sismora-cli", "sismora"] if gui else ["sismora-cli"]


def test_pages_format_without_warnings(usr, gui, version, tmp_path):
    for name in pages(gui):
        roff = gzip.decompress((usr / f"share/man/man1/{name}.1.gz").read_bytes()).decode()
        assert roff.startswith(f'.TH {name.upper()} 1 "" "sismora {version}"')
        source = tmp_path / f"{name}.1"
        source.write_text(roff)
        done = run(["groff", "-man", "-ww", "-z", "-Tutf8", source], env=dict(os.environ, LC_ALL="C.UTF-8"))
        assert done.stderr == ""


def test_man_finds_the_pages_in_the_installation(usr, gui):
    env = dict(os.environ, MANPATH=str(usr / "share/man"))
    for name in pages(gui):
        assert run(["man", "-w", name], env=env).stdout.strip() == str(usr / f"share/man/man1/{name}.1.gz")


def options_in(help_text):
    return set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", help_text))


def test_the_tool_page_lists_every_command_option_and_exit_status(usr):
    cli = usr / "bin/sismora-cli"
    text = page_text(usr, "sismora-cli")
    overview = run([cli, "--help"]).stdout
    commands = re.findall(r"^  (\w+) ", overview.split("Commands:")[1].split("\n\n")[0], re.M)
    assert {"info", "peaks", "export", "plot", "convert"} <= set(commands)
    listed = options_in(overview)
    for command in commands:
        assert re.search(rf"^\s+{command} ", text, re.M), f"command {command} is not described"
        listed |= options_in(run([cli, command, "--help"]).stdout)
    missing = sorted(o for o in listed if o not in text)
    assert not missing, f"options of --help missing from sismora-cli(1): {missing}"
    for switch in ("-hF", "-lF", "-sS", "-tS", "-rA", "-iN", "-v", "-c-", "-e-", "-o", "--version"):
        assert switch in text, switch
    status = text.split("EXIT STATUS")[1].split("ENVIRONMENT")[0]
    for code in ("0", "1", "2"):
        assert re.search(rf"^\s+{code}\s", status, re.M), f"exit status {code}"
    assert "Sismora/Sismora.ini" in text.split("FILES")[1]
    kinds = re.findall(r"^  (\d+) +(.+)$", run([cli, "plot", "--help"]).stdout, re.M)
    assert len(kinds) == 23
    section = text.split("GRAPH KINDS")[1].split("OPTIONS")[0]
    for number, name in kinds:
        assert re.search(rf"^\s+{number}\s+{re.escape(name)}$", section, re.M), f"kind {number} {name}"


def test_the_program_page_lists_every_switch(usr, gui):
    if not gui:
        pytest.skip("built without the program")
    text = page_text(usr, "sismora")
    usage = run([usr / "bin/sismora", "--help"]).stdout
    switches = set(re.findall(r"(?<![\w-])-[a-z][A-Z-]?(?![\w])", usage)) | options_in(usage)
    assert {"-hF", "-lF", "-sS", "-tS", "-rA", "-iN", "-c-", "-e-", "-v", "--help", "--version"} <= switches
    missing = sorted(s for s in switches if s not in text)
    assert not missing, f"switches of --help missing from sismora(1): {missing}"
    assert "Sismora/Sismora.ini" in text.split("FILES")[1]
    assert "EXIT STATUS" in text
