#!/usr/bin/env python3
"""zynta-cli batch side by side with the script an engineer would write instead: the same
Darcy-Weisbach "HL given D,L,E,Vis,Q" rows, read and written as CSV, solved with the fluids
library (friction_factor: Colebrook solved exactly) and the csv module.

Each tool runs as a whole process on 20,000 and on 100,000 rows; the CPU time per row is the
difference over the 80,000 rows between, so start-up (Qt-free zynta-cli, Python's imports)
does not count. The two tools take turns, three rounds; the medians and their ratio are
printed.

    bench/peer_batch.py build/bin/zynta-cli
"""
import os
import random
import resource
import statistics
import subprocess
import sys
import tempfile

PEER = r'''
import csv, math, sys
import fluids
g = 9.80665
rows = csv.reader(sys.stdin)
out = csv.writer(sys.stdout, lineterminator="\n")
header = next(rows)
out.writerow(header + ["Area [in2]", "HL [ftliq]", "Vel [ft/s]", "ReyNo", "FricFact", "status"])
for row in rows:
    d = float(row[2]) * 0.0254           # in to m
    length = float(row[3]) * 0.3048      # ft to m
    e = float(row[4]) * 0.3048           # ft to m
    nu = float(row[5]) * 1e-6            # cSt to m2/s
    q = float(row[6]) * 6.30901964e-5    # gpm to m3/s
    a = math.pi / 4 * d * d
    v = q / a
    re = v * d / nu
    f = fluids.friction_factor(Re=re, eD=e / d)
    hl = f * length / d * v * v / (2 * g) / 0.3048
    out.writerow(row + ["%.2f" % (a / 0.00064516), "%.2f" % hl, "%.2f" % (v / 0.3048),
                        "%.0f" % re, "%.3f" % f, "Solved!"])
'''

HEADER = "equation,problem,IDia [in],Len [ft],Fric [ft],Vis [cSt],Flow [gpm]\n"


def write_rows(path, count):
    rng = random.Random(17)
    with open(path, "w") as f:
        f.write(HEADER)
        for _ in range(count):
            f.write("Darcy-Weisbach,0,%.4g,%.5g,%s,%.3g,%.4g\n" % (
                rng.uniform(0.5, 24), rng.uniform(10, 5000),
                rng.choice(["0.000005", "0.00015", "0.0005", "0.00085"]),
                rng.uniform(0.5, 50), rng.uniform(5, 5000)))


def cpu_seconds(command, rows_file):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    with open(rows_file) as source, open(os.devnull, "w") as sink:
        subprocess.run(command, stdin=source, stdout=sink, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    cli = sys.argv[1] if len(sys.argv) > 1 else "build/bin/zynta-cli"
    python = "/usr/bin/python3"
    have_peer = subprocess.run([python, "-c", "import fluids"], capture_output=True).returncode == 0
    if not have_peer:
        print("peer: the fluids library is missing (Debian package python3-fluids,"
              " scripts/install-deps --bench): zynta-cli alone")
    small, large = 20000, 100000
    with tempfile.TemporaryDirectory() as folder:
        files = {}
        for count in (small, large):
            files[count] = os.path.join(folder, "rows-%d.csv" % count)
            write_rows(files[count], count)
        peer_script = os.path.join(folder, "peer.py")
        with open(peer_script, "w") as f:
            f.write(PEER)
        tools = {"zynta-cli batch": [cli, "batch", "-"]}
        if have_peer:
            tools["python fluids + csv"] = [python, peer_script]
        per_row = {name: [] for name in tools}
        for _ in range(3):
            for name, command in tools.items():
                slope = (cpu_seconds(command, files[large]) - cpu_seconds(command, files[small])) / (large - small)
                per_row[name].append(slope * 1e6)
    for name, values in per_row.items():
        print("%-20s CPU per row: %6.2f us (median of %s)" % (
            name, statistics.median(values), ", ".join("%.2f" % v for v in values)))
    if have_peer:
        ours = statistics.median(per_row["zynta-cli batch"])
        theirs = statistics.median(per_row["python fluids + csv"])
        print("ratio zynta-cli / peer: %.2f" % (ours / theirs))


if __name__ == "__main__":
    main()
