#!/usr/bin/env python3
"""Times the big RTF file through xqconvert and its peers in one run, on the same file.

Usage: bench/rtf_peers.py [--xqconvert PATH] [--rtf FILE] [--runs N]

Without --rtf the file is generated into a temporary directory by the corpus generator
(XQ_GEN_BIG_RTF, default /work/shared/corpus/gen_big_rtf.py, at its default size). Each
program converts the file to text:

    xqconvert big.rtf out.txt
    unrtf --text big.rtf > out.txt
    soffice --headless --convert-to txt big.rtf   (a fresh profile, started once beforehand)

The table gives the best wall time of N runs, the CPU time of that run and the peak resident
memory over the runs (of the process and the children it waited for, as time -v counts it).
A peer that is not installed is named and left out; nothing is installed here.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def measure(argv, stdout_path, cwd):
    """Runs argv once; returns (wall seconds, cpu seconds, peak RSS in KiB, exit code)."""
    with open(stdout_path, "wb") as out:
        start = time.perf_counter()
        proc = subprocess.Popen(argv, stdout=out, stderr=subprocess.DEVNULL, cwd=cwd)
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss, proc.returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--xqconvert", default=os.path.join(ROOT, "build", "src", "cli", "xqconvert"))
    parser.add_argument("--rtf", help="an existing RTF file instead of the generated one")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="xq-rtf-peers-")
    try:
        rtf = args.rtf
        if not rtf:
            generator = os.environ.get("XQ_GEN_BIG_RTF", "/work/shared/corpus/gen_big_rtf.py")
            if not os.path.exists(generator):
                print(f"the generator {generator} is missing: give --rtf or set XQ_GEN_BIG_RTF", file=sys.stderr)
                return 2
            rtf = os.path.join(work, "big.rtf")
            subprocess.run([sys.executable, generator, rtf], check=True, stdout=subprocess.DEVNULL)
        rtf = os.path.abspath(rtf)
        size = os.path.getsize(rtf)
        print(f"file: {rtf}, {size / 1e6:.2f} MB; best of {args.runs} runs")

        peers = []
        missing = []
        if os.access(args.xqconvert, os.X_OK):
            peers.append(("xqconvert", [args.xqconvert, rtf, os.path.join(work, "xq.txt")]))
        else:
            missing.append(f"xqconvert (not built at {args.xqconvert})")
        unrtf = shutil.which("unrtf")
        if unrtf:
            peers.append(("unrtf --text", [unrtf, "--text", rtf]))
        else:
            missing.append("unrtf (Debian: apt-get install -y unrtf)")
        soffice = shutil.which("soffice")
        if soffice:
            profile = "file://" + os.path.join(work, "lo-profile")
            outdir = os.path.join(work, "lo")
            argv = [soffice, f"-env:UserInstallation={profile}", "--headless", "--convert-to", "txt",
                    "--outdir", outdir, rtf]
            # The first start of a fresh profile builds it: done once, outside the measurement.
            tiny = os.path.join(work, "tiny.rtf")
            with open(tiny, "w") as f:
                f.write("{\\rtf1 warm up\\par}")
            measure(argv[:-1] + [tiny], os.devnull, work)
            peers.append(("soffice --convert-to txt", argv))
        else:
            missing.append("LibreOffice (soffice not on PATH)")

        rows = []
        for name, argv in peers:
            best = None
            peak = 0
            for _ in range(max(1, args.runs)):
                wall, cpu, rss, code = measure(argv, os.path.join(work, "stdout.txt"), work)
                if code != 0:
                    print(f"{name}: exit code {code}", file=sys.stderr)
                peak = max(peak, rss)
                if best is None or wall < best[0]:
                    best = (wall, cpu)
            rows.append((name, best[0], best[1], peak))

        print(f"{'program':26} {'wall s':>8} {'cpu s':>8} {'MB/s':>8} {'peak MB':>9} {'x file':>7}")
        for name, wall, cpu, peak in rows:
            print(f"{name:26} {wall:8.3f} {cpu:8.3f} {size / 1e6 / wall:8.1f} {peak / 1024:9.1f} "
                  f"{peak * 1024 / size:7.1f}")
        for what in missing:
            print(f"missing: {what}")
        return 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
