#!/usr/bin/python3
"""Validates quorvel-report's JSON against docs/quorvel-report.schema.json:
the sample graph, the real graphs (as one array), every hostile input the
analysis fuzz target ever tripped on, and truncations of a graph at many
lengths, where the analysis stops and the graph keeps what was read.

Usage: validate-report-json.py QUORVEL_REPORT SOURCE_DIR SHARED_DIR
Exit 77 (skipped) when python3-jsonschema is not installed."""
import json
import os
import subprocess
import sys
import tempfile

try:
    import jsonschema
except ImportError:
    print("python3-jsonschema is not installed: skipped")
    sys.exit(77)

report, source, shared = sys.argv[1:4]
with open(os.path.join(source, "docs", "quorvel-report.schema.json"), encoding="utf-8") as f:
    schema = json.load(f)
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
failures = 0


def check(what, files, expect_array):
    global failures
    run = subprocess.run([report, "--format", "json", "--no-catalog", *files], capture_output=True, timeout=120)
    if run.returncode not in (0, 1):
        print(f"{what}: exit {run.returncode}: {run.stderr.decode(errors='replace')}")
        failures += 1
        return None
    doc = json.loads(run.stdout)
    errors = list(validator.iter_errors(doc))
    for error in errors[:3]:
        print(f"{what}: {error.json_path}: {error.message[:300]}")
    if isinstance(doc, list) != expect_array:
        print(f"{what}: expected {'an array' if expect_array else 'an object'}")
        errors.append(None)
    failures += bool(errors)
    return doc


sample = os.path.join(source, "samples", "capture.grf")
check("sample", [sample], False)

real_dir = os.path.join(shared, "graphs", "real")
real = sorted(os.path.join(real_dir, n) for n in os.listdir(real_dir)) if os.path.isdir(real_dir) else []
real = [p for p in real if p.endswith(".grf")]
if real:
    doc = check("real graphs", real, True)
    if doc is not None and not all(d["complete"] for d in doc):
        print("real graphs: not every analysis ran to its end")
        failures += 1

hostile_dir = os.path.join(source, "fuzz", "regressions", "fuzz_analysis")
for name in sorted(os.listdir(hostile_dir)):
    check(f"hostile {name}", [os.path.join(hostile_dir, name)], False)

# A file that cannot be opened has an object of its own in an array.
check("missing and sample", [os.path.join(source, "no such graph.grf"), sample], True)

whole_path = os.path.join(real_dir, "fcsmedia-test.grf") if real else sample
with open(whole_path, "rb") as f:
    whole = f.read()
with tempfile.TemporaryDirectory() as work:
    cuts = sorted(set(range(0, len(whole), max(1, len(whole) // 150))) | {len(whole) - 1})
    paths = []
    for size in cuts:
        path = os.path.join(work, f"cut-{size}.grf")
        with open(path, "wb") as f:
            f.write(whole[:size])
        paths.append(path)
    doc = check(f"{len(paths)} truncations of {os.path.basename(whole_path)}", paths, True)
    if doc is not None and sum(not d["complete"] for d in doc) < len(doc) // 2:
        print("truncations: too few analyses stopped to say anything")
        failures += 1

print(f"{failures} document(s) failed the schema" if failures else "every document matches the schema")
sys.exit(1 if failures else 0)
