# Helpers of the installation tests.
import os
import re
import subprocess


def loading_the_library(env):
    """env for a program that loads the built library without being built itself: in a
    sanitizer build the sanitizers' runtimes go first (SISMORA_PRELOAD)."""
    preload = os.environ.get("SISMORA_PRELOAD")
    return dict(env, LD_PRELOAD=preload) if preload else env


def run(args, **kw):
    """Runs a command; fails the test with its output unless it succeeds."""
    done = subprocess.run([str(a) for a in args], capture_output=True, text=True, timeout=kw.pop("timeout", 120), **kw)
    assert done.returncode == 0, f"{' '.join(map(str, args))} failed ({done.returncode}):\n{done.stdout}\n{done.stderr}"
    return done


def readme_blocks(source_dir, heading):
    """The fenced code blocks of README.md under `## heading`, as (language, text) pairs."""
    section, blocks, block, lang = None, [], None, None
    for line in (source_dir / "README.md").read_text().splitlines():
        if block is None and line.startswith("## "):
            section = line[3:].strip()
        elif line.startswith("```"):
            if block is None:
                block, lang = [], line[3:].strip()
            else:
                if section == heading:
                    blocks.append((lang, "\n".join(block) + "\n"))
                block = None
        elif block is not None:
            block.append(line)
    assert blocks, f"README.md has no code under '## {heading}'"
    return blocks


def blocks_of(source_dir, heading, lang):
    return [text for kind, text in readme_blocks(source_dir, heading) if kind == lang]


def expect_spectrum_lines(out):
    lines = out.splitlines()
    assert len(lines) == 4, out
    values = []
    for line in lines:
        m = re.fullmatch(r"T = (\d+\.\d\d) s  Sa = (\d+) cm/s/s", line)
        assert m, line
        values.append((float(m.group(1)), int(m.group(2))))
    assert values[0][0] == 0.1 and values[-1][0] == 1.0
    assert all(sa > 0 for _, sa in values)
