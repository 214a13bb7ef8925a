#!/usr/bin/env python3
# Fails when a file of src/ includes a header of a layer it may not use, or a Qt module its
# layer does not link: the layers of src/CMakeLists as the includes see them.
#   check.py SRC_FOLDER QT_HEADERS_FOLDER
import pathlib
import re
import sys

# What each layer may include besides itself, and the Qt modules it links.
LAYERS = {
    "game": (set(), set()),
    "system": (set(), {"QtCore"}),
    "files": ({"game", "system"}, {"QtCore", "QtGui"}),
    "sound": ({"system"}, {"QtCore"}),
    "effects": (set(), {"QtCore", "QtGui"}),
    "play": ({"game", "system", "files"}, {"QtCore"}),
    "ui": ({"game", "system", "files", "sound", "effects", "play"}, {"QtCore", "QtGui", "QtWidgets"}),
    "app": ({"game", "system", "files", "sound", "effects", "play", "ui"}, {"QtCore", "QtGui", "QtWidgets"}),
}

src, qt = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
modules = [m.name for m in qt.iterdir() if m.is_dir() and m.name.startswith("Qt")]
faults = []
for layer in sorted(p.name for p in src.iterdir() if p.is_dir()):
    if layer not in LAYERS:
        faults.append(f"src/{layer}: a folder that is no layer")
        continue
    may_use, qt_modules = LAYERS[layer]
    for path in sorted((src / layer).glob("*.[ch]*")):
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            where = f"src/{layer}/{path.name}:{number}"
            own = re.match(r'#include\s+"(\w+)/', line)
            if own and own.group(1) != layer and own.group(1) not in may_use:
                faults.append(f"{where}: the {layer} layer includes {own.group(1)}")
            system = re.match(r"#include\s+<(Q\w+)>", line)
            if system:
                found = {m for m in modules if (qt / m / system.group(1)).exists()}
                if not found & qt_modules:
                    faults.append(f"{where}: the {layer} layer includes {system.group(1)} of {sorted(found)}")
print("\n".join(faults) or f"{len(LAYERS)} layers, every include within its own or a layer below")
sys.exit(1 if faults else 0)
