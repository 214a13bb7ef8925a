#!/usr/bin/env python3
# Fails when a file of src/ includes a header of a layer it may not use, or a Qt module its
# layer does not link: the layers of src/CMakeLists as the includes see them.
#   check.py SRC_FOLDER QT_HEADERS_FOLDER
import pathlib
import re
import sys

# What each layer may include besides itself.
MAY_USE = {
    "game": set(),
    "system": set(),
    "files": {"game", "system"},
    "sound": {"system"},
    "effects": set(),
    "play": {"game", "system"},
    "ui": {"game", "system", "files", "sound", "effects", "play"},
    "app": {"game", "system", "files", "sound", "effects", "play", "ui"},
}
QT_MODULES = {
    "game": set(),
    "system": {"QtCore"},
    "files": {"QtCore", "QtGui"},
    "sound": {"QtCore"},
    "effects": {"QtCore", "QtGui"},
    "play": {"QtCore"},
    "ui": {"QtCore", "QtGui", "QtWidgets"},
    "app": {"QtCore", "QtGui", "QtWidgets"},
}

src, qt = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
modules = [m.name for m in qt.iterdir() if m.is_dir() and m.name.startswith("Qt")]
faults = []
for layer in sorted(p.name for p in src.iterdir() if p.is_dir()):
    if layer not in MAY_USE:
        faults.append(f"src/{layer}: a folder that is no layer")
        continue
    for path in sorted((src / layer).glob("*.[ch]*")):
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            where = f"src/{layer}/{path.name}:{number}"
            own = re.match(r'#include\s+"(\w+)/', line)
            if own and own.group(1) != layer and own.group(1) not in MAY_USE[layer]:
                faults.append(f"{where}: the {layer} layer includes {own.group(1)}")
            system = re.match(r"#include\s+<(Q\w+)>", line)
            if system:
                found = {m for m in modules if (qt / m / system.group(1)).exists()}
                if not found & QT_MODULES[layer]:
                    faults.append(f"{where}: the {layer} layer includes {system.group(1)} of {sorted(found)}")
print("\n".join(faults) or f"{len(MAY_USE)} layers, every include within its own or a layer below")
sys.exit(1 if faults else 0)
