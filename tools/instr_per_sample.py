#!/usr/bin/env python3
"""Instructions per host sample of every built-in program, counted by callgrind.

Counts only the plug-in's processing (the host's process calls), so the figure does
not depend on how busy the machine is. ZamTube (Debian's zam-plugins) is counted the same way
for comparison when it is installed.

  tools/instr_per_sample.py [--build build | --plugin SO --host G2HOST] [--programs 0-49] [--jobs 4] [--save FILE]
                            [--before FILE] [--profile N]

--save writes the counts (JSON) for a later --before, which prints a before/after table.
--profile N prints the per-function profile of program N instead of the table.
"""
import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

RATE = 48000
BLOCK = 512
ZAMTUBE_PATHS = ["/usr/lib/x86_64-linux-gnu/vst/ZamTube-vst.so", "/usr/lib/vst/ZamTube-vst.so",
                 "/usr/local/lib/vst/ZamTube-vst.so"]


def parse_programs(text):
    out = []
    for part in text.split(","):
        lo, _, hi = part.partition("-")
        out.extend(range(int(lo), int(hi or lo) + 1))
    return out


def run_callgrind(host, plugin, program, seconds, out_file):
    """Runs one bench under callgrind; returns the instructions counted inside the host's process calls."""
    cmd = ["valgrind", "--tool=callgrind", "--toggle-collect=vsthost::Plugin::process(*",
           f"--callgrind-out-file={out_file}", host, "bench", "--plugin", plugin,
           "--seconds", str(seconds), "--rate", str(RATE), "--block", str(BLOCK)]
    if program is not None:
        cmd += ["--program", str(program)]
    with tempfile.TemporaryDirectory() as home:  # a fresh user: no stored preferences
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
        result = subprocess.run(cmd, env=env, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"program {program}: {result.stderr.strip()[-400:]}")
    with open(out_file) as f:
        for line in f:
            if line.startswith("summary:") or line.startswith("totals:"):
                return int(line.split()[1])
    raise RuntimeError(f"program {program}: no totals in {out_file}")


def count(host, plugin, program, seconds):
    with tempfile.TemporaryDirectory() as tmp:
        total = run_callgrind(host, plugin, program, seconds, os.path.join(tmp, "cg.out"))
    return total / (seconds * RATE)


def profile(host, plugin, program, seconds):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "cg.out")
        run_callgrind(host, plugin, program, seconds, out)
        text = subprocess.run(["callgrind_annotate", "--inclusive=no", out], capture_output=True,
                              text=True).stdout
    samples = seconds * RATE
    print(f"program {program}: instructions per host sample by function (self)")
    for line in text.splitlines():
        m = re.match(r"\s*([\d,]+)\s+\(\s*([\d.]+)%\)\s+(.*)", line)
        if m and float(m.group(2)) >= 0.3:
            print(f"{int(m.group(1).replace(',', '')) / samples:9.1f}  {m.group(2):>5}%  {m.group(3)[:110]}")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default="build")
    ap.add_argument("--plugin", help="the plug-in (default BUILD/Grindle2/Grindle2.so)")
    ap.add_argument("--host", help="the offline host (default BUILD/tools/g2host)")
    ap.add_argument("--programs", default="0-49")
    ap.add_argument("--seconds", type=float, default=1.0)
    ap.add_argument("--jobs", type=int, default=4)
    ap.add_argument("--save")
    ap.add_argument("--before")
    ap.add_argument("--profile", type=int)
    args = ap.parse_args()
    host = args.host or os.path.join(args.build, "tools", "g2host")
    plugin = args.plugin or os.path.join(args.build, "Grindle2", "Grindle2.so")
    if args.profile is not None:
        profile(host, plugin, args.profile, args.seconds)
        return 0

    programs = parse_programs(args.programs)
    zam = next((p for p in ZAMTUBE_PATHS if os.path.exists(p)), None)
    with ThreadPoolExecutor(max_workers=args.jobs) as pool:
        zam_future = pool.submit(count, host, zam, None, args.seconds) if zam else None
        counts = dict(zip(programs, pool.map(lambda n: count(host, plugin, n, args.seconds), programs)))
        zam_count = zam_future.result() if zam_future else None
    before = {}
    if args.before:
        with open(args.before) as f:
            before = {int(k): v for k, v in json.load(f)["programs"].items()}

    def ratio(v):
        return f"{zam_count / v:6.2f}" if zam_count else "     -"

    print(f"{'#':>3} {'before':>8} {'after':>8} {'change':>7} {'ZamTube/x':>9}" if before
          else f"{'#':>3} {'instr':>8} {'ZamTube/x':>9}")
    for n in programs:
        if before.get(n):
            print(f"{n:3d} {before[n]:8.0f} {counts[n]:8.0f} {100 * (counts[n] / before[n] - 1):+6.1f}% {ratio(counts[n]):>9}")
        else:
            print(f"{n:3d} {counts[n]:8.0f} {ratio(counts[n]):>9}")
    values = list(counts.values())
    for label, v in (("min", min(values)), ("median", statistics.median(values)), ("max", max(values))):
        print(f"{label:>6}: {v:8.0f} {ratio(v)}")
    if zam_count:
        print(f"ZamTube: {zam_count:.0f} instructions per host sample")
    if args.save:
        with open(args.save, "w") as f:
            json.dump({"zamtube": zam_count, "programs": counts}, f, indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
