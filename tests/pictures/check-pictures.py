#!/usr/bin/python3
"""The pictures of the real graphs and of the sample, as their users get them:
the DOT text read back by Graphviz (dot -Tjson) has a node per filter and an
edge per connection; the SVG is well-formed XML with a node per filter and
every filter's name in it; the HTML page carries that same picture above the
report, except for a graph too big to lay out quickly, whose page comes
without it, at once.

Usage: check-pictures.py QUORVEL_REPORT SOURCE_DIR SHARED_DIR [MAKE_BENCH_GRAPH]
Exit 77 (skipped) when Graphviz's dot is not installed."""
import html
import json
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

report, source, shared = sys.argv[1:4]
make_graph = sys.argv[4] if len(sys.argv) > 4 else None
dot = shutil.which("dot")
if not dot:
    print("Graphviz's dot is not installed: skipped")
    sys.exit(77)
SVG = "{http://www.w3.org/2000/svg}"
failures = []


def run(args, **kw):
    return subprocess.run(args, capture_output=True, timeout=300, check=True, **kw).stdout


def check(path):
    name = os.path.basename(path)
    graph = json.loads(run([report, "--format", "json", "--no-catalog", path]))["graph"]
    filters = [f["name"] for f in graph["filters"]]
    connections = len(graph["connections"])

    laid = json.loads(run([dot, "-Tjson"], input=run([report, "--format", "dot", "--no-catalog", path])))
    nodes = [o for o in laid.get("objects", []) if "nodes" not in o]
    if len(nodes) != len(filters) or len(laid.get("edges", [])) != connections:
        failures.append(f"{name}: dot read {len(nodes)} nodes and {len(laid.get('edges', []))} edges "
                        f"for {len(filters)} filters and {connections} connections")

    svg = run([report, "--format", "svg", "--no-catalog", path])
    root = ET.fromstring(svg)
    drawn = [g for g in root.iter(SVG + "g") if g.get("class") == "node"]
    texts = " ".join(t.text or "" for t in root.iter(SVG + "text"))
    missing = [f for f in filters if f not in texts]
    if len(drawn) != len(filters) or missing:
        failures.append(f"{name}: the SVG draws {len(drawn)} nodes for {len(filters)} filters; missing {missing}")
    if b"http://www.w3.org/Graphics/SVG/1.1/DTD" in svg:
        failures.append(f"{name}: the SVG names an outside document type")

    page = run([report, "--format", "html", "--no-catalog", path]).decode("utf-8")
    figure = re.search(r"<figure[^>]*>\n(<svg.*?</svg>)\s*</figure>\n<pre>", page, re.S)
    if not figure or len(ET.fromstring(figure.group(1)).findall(f".//{SVG}g[@class='node']")) != len(filters):
        failures.append(f"{name}: the HTML page does not carry the picture above the report")
    elif not all(html.escape(f, quote=False) in page for f in filters):
        failures.append(f"{name}: the HTML page lost a filter's name")


paths = [os.path.join(source, "samples", "capture.grf")]
real = os.path.join(shared, "graphs", "real")
if os.path.isdir(real):
    paths += sorted(os.path.join(real, n) for n in os.listdir(real) if n.endswith(".grf"))
for path in paths:
    check(path)


def check_too_big(make_graph):
    """3,000 filters: a layout of a minute and more; the page must not wait for it."""
    path = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"quorvel-pictures-{os.getpid()}.grf")
    try:
        run([make_graph, "--filters", "3000", "--connections", "3000", path])
        done = subprocess.run([report, "--format", "html", "--no-catalog", path], capture_output=True, timeout=60)
    finally:
        if os.path.exists(path):
            os.unlink(path)
    page = done.stdout.decode("utf-8")
    if done.returncode != 0 or "<svg" in page or "<pre>" not in page or b"too many to draw" not in done.stderr:
        failures.append(f"3,000 filters: status {done.returncode}, picture {'<svg' in page}, "
                        f"stderr {done.stderr[:200]!r}")


if make_graph:
    check_too_big(make_graph)
print("\n".join(failures) if failures else f"the pictures of {len(paths)} graphs hold every filter and connection")
sys.exit(1 if failures else 0)
