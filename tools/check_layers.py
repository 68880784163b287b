#!/usr/bin/env python3
"""Fails when a source of a lower layer includes a header of a layer above it.

Each layer names the layers it may include directly; what those may include is allowed too.
A file belongs to the layer of the longest folder (or file) named below that holds it. tests/ and bench/ may
include anything; the tools may include any layer but nothing of tests/ or bench/.

    check_layers.py [SOURCE_DIR]     check the tree (default: the folder above this script)
    check_layers.py --self-test      prove that the check finds a wrong include
"""
import os
import re
import sys
import tempfile

# The one statement of the layer order. include/ holds the shared tables every layer may read.
LAYERS = {
    "include": [],
    "vst2": [],
    "dsp": ["include"],
    "platform/os": [],
    "platform": ["platform/os", "include"],
    "plugin": ["vst2", "dsp", "platform", "include"],
    "vstgui": ["vst2", "platform/os", "include"],
    # The editor's palette and zoom tables are written in the toolkit's colour type.
    "include/guiTables.h": ["vstgui", "include"],
    "controls": ["vstgui", "plugin", "include/guiTables.h"],
    "editor": ["controls", "vstgui", "plugin", "platform"],
    "resources": ["vstgui", "include/guiTables.h"],
    # Libraries of the tools that tests link: the offline host's loader and the private X server.
    "tools/host": ["vst2"],
    "tools/xvfb": [],
}
# Above every layer: the tools, then the tests and benchmarks.
LAYERS["tools"] = list(LAYERS)
LAYERS["tests"] = ["tools"]
LAYERS["bench"] = ["tools", "tests"]

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".inc")
INCLUDE_RE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def allowed_closure():
    closure = {}

    def reach(layer, seen):
        for dep in LAYERS[layer]:
            if dep not in seen:
                seen.add(dep)
                reach(dep, seen)
        return seen

    for layer in LAYERS:
        closure[layer] = reach(layer, {layer})
    return closure


def layer_of(rel):
    best = None
    for layer in LAYERS:
        if (rel == layer or rel.startswith(layer + "/")) and (best is None or len(layer) > len(best)):
            best = layer
    return best


def source_files(root):
    tops = [d for d in os.listdir(root) if os.path.isdir(os.path.join(root, d))
            and not d.startswith((".", "build")) and d not in ("cmake", "scripts")]
    for top in sorted(tops):
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = sorted(d for d in dirs if not d.startswith((".", "build")))
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def check(root):
    closure = allowed_closure()
    files = list(source_files(root))
    by_tail = {}
    for rel in files:
        parts = rel.split("/")
        for i in range(1, len(parts)):
            by_tail.setdefault("/".join(parts[i:]), []).append(rel)
    problems = []
    for rel in files:
        layer = layer_of(rel)
        if layer is None:
            problems.append(f"{rel}: in no layer (add its folder to LAYERS in tools/check_layers.py)")
            continue
        with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for match in INCLUDE_RE.finditer(text):
            name = match.group(1)
            here = os.path.normpath(os.path.join(os.path.dirname(rel), name)).replace(os.sep, "/")
            if here in files:
                targets = [here]
            elif name in files:
                targets = [name]
            else:
                # Found through a library's include folder; a header nobody here owns is generated
                # or a system one.
                targets = by_tail.get(name, [])
            if not targets:
                continue
            target_layers = {layer_of(t) for t in targets}
            if not target_layers & closure[layer]:
                line = text.count("\n", 0, match.start()) + 1
                problems.append(f"{rel}:{line}: layer '{layer}' includes \"{name}\" of layer "
                                f"'{sorted(l or '?' for l in target_layers)[0]}'")
    return problems


def self_test():
    with tempfile.TemporaryDirectory() as root:
        def write(rel, text):
            os.makedirs(os.path.join(root, os.path.dirname(rel)), exist_ok=True)
            with open(os.path.join(root, rel), "w") as f:
                f.write(text)

        write("include/tags.h", "")
        write("dsp/uFilter.h", '#include "tags.h"\n')
        write("plugin/uPlugin.h", '#include "dsp/uFilter.h"\n#include "uFilter.h"\n')
        write("platform/os/runner.h", "")
        write("vstgui/cview.h", '#include "platform/os/runner.h"\n')
        if check(root):
            print("self-test: a correct tree was reported:", check(root))
            return 1
        write("platform/prefs.cpp", '#include "vstgui/cview.h"\n')
        write("dsp/uLfo.cpp", '#include "uPlugin.h"\n')
        write("tools/host/vsthost.cpp", '#include "support/x.h"\n')
        write("tests/support/x.h", "")
        write("stray/a.h", "")
        found = check(root)
        expected = ["platform/prefs.cpp:1", "dsp/uLfo.cpp:1", "tools/host/vsthost.cpp:1", "stray/a.h"]
        missing = [e for e in expected if not any(p.startswith(e) for p in found)]
        if missing or len(found) != len(expected):
            print("self-test: expected", expected, "got", found)
            return 1
    print("self-test: ok")
    return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    problems = check(os.path.abspath(root))
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) against the layer order")
        return 1
    print("layers: every include runs downwards")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
