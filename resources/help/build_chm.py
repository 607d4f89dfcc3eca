#!/usr/bin/env python3
"""Compiles Tilewick's help into tw.chm.

    build_chm.py <chmcmd> <source dir> <work dir> <output .chm>

The sources are UTF-8. HTML Help reads the contents file in the code
page of the help file's language (932 for 0x411), so every text file is
re-encoded to Shift-JIS, with its charset declaration to match, before
chmcmd sees it. The project title stays ASCII: some viewers decode it in
the system's ANSI code page instead. The result is checked: ITSF version
3, language 0x411, and every file read back with chmls byte for byte.
"""

import os
import re
import shutil
import struct
import subprocess
import sys

TEXT_SUFFIXES = (".html", ".hhc", ".hhp", ".css")
CHARSET = re.compile(rb"charset=utf-8", re.IGNORECASE)


def fail(message):
    print("build_chm: " + message, file=sys.stderr)
    sys.exit(1)


def project_files(hhp_text):
    """The [FILES] section of the project, in order."""
    files, in_files = [], False
    for line in hhp_text.splitlines():
        line = line.strip()
        if line.startswith("["):
            in_files = line.upper() == "[FILES]"
        elif in_files and line:
            files.append(line)
    return files


def convert(source, target):
    with open(source, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        fail("%s is not UTF-8: %s" % (source, e))
    try:
        encoded = text.encode("cp932")
    except UnicodeEncodeError as e:
        line = text.count("\n", 0, e.start) + 1
        fail("%s:%d: %r has no Shift-JIS form" % (source, line, text[e.start : e.end]))
    encoded = CHARSET.sub(b"charset=Shift_JIS", encoded)
    with open(target, "wb") as f:
        f.write(encoded)
    return encoded


def check_header(chm):
    with open(chm, "rb") as f:
        head = f.read(0x18)
    if len(head) < 0x18 or head[:4] != b"ITSF":
        fail("%s: no ITSF signature" % chm)
    version, _, _, _, lcid = struct.unpack("<IIIII", head[4:0x18])
    if version != 3:
        fail("%s: ITSF version %d, expected 3" % (chm, version))
    if lcid != 0x411:
        fail("%s: language 0x%x, expected 0x411" % (chm, lcid))


def check_contents(chmls, chm, expected, scratch):
    """Every project file must come back out of the archive unchanged; this
    is what proves the Japanese text survived compilation."""
    for name, data in expected.items():
        out = os.path.join(scratch, "readback.tmp")
        if os.path.exists(out):
            os.remove(out)
        subprocess.run(
            [chmls, "extract", chm, "/" + name, out],
            check=True,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        try:
            with open(out, "rb") as f:
                back = f.read()
        except OSError:
            fail("%s: /%s missing from the archive" % (chm, name))
        if back != data:
            fail("%s: /%s differs from its source after compilation" % (chm, name))
        os.remove(out)


def main(argv):
    if len(argv) != 5:
        fail("usage: build_chm.py <chmcmd> <source dir> <work dir> <output .chm>")
    chmcmd, source_dir, work_dir, output = argv[1:]
    hhp = os.path.join(source_dir, "tw.hhp")
    with open(hhp, encoding="utf-8") as f:
        names = ["tw.hhp", "tw.hhc"] + project_files(f.read())

    if os.path.isdir(work_dir):
        shutil.rmtree(work_dir)
    os.makedirs(work_dir)
    packed = {}
    for name in names:
        source = os.path.join(source_dir, name)
        target = os.path.join(work_dir, name)
        if name.endswith(TEXT_SUFFIXES):
            data = convert(source, target)
        else:
            shutil.copyfile(source, target)
            with open(target, "rb") as f:
                data = f.read()
        if name != "tw.hhp":
            packed[name] = data

    run = subprocess.run(
        [chmcmd, "--no-html-scan", "tw.hhp"],
        cwd=work_dir,
        stdout=subprocess.PIPE,
        stderr=subprocess.STDOUT,
    )
    chm = os.path.join(work_dir, "tw.chm")
    if run.returncode != 0 or not os.path.isfile(chm):
        sys.stderr.write(run.stdout.decode("utf-8", "replace"))
        fail("chmcmd failed")

    check_header(chm)
    chmls = os.path.join(os.path.dirname(chmcmd), "chmls")
    if not os.path.exists(chmls):
        chmls = shutil.which("chmls") or fail("chmls not found next to chmcmd")
    check_contents(chmls, chm, packed, work_dir)

    shutil.copyfile(chm, output + ".tmp")
    os.replace(output + ".tmp", output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
