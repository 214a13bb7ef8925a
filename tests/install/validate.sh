#!/usr/bin/env bash
# Runs the desktop entry and the AppStream metainfo through their validators.
#   bash validate.sh PATH/TO/packaging
# Exit 77 (skipped) when neither validator is installed (packages desktop-file-utils, appstream).
set -u
dir=${1:?usage: validate.sh PATH/TO/packaging}
ran=0 failed=0

if command -v desktop-file-validate >/dev/null; then
    ran=1
    # The validator reports hints as well as errors; only errors and warnings fail.
    out=$(desktop-file-validate "$dir/vellumi.desktop" 2>&1)
    echo "desktop-file-validate: ${out:-clean}"
    if grep -Eq 'error:|warning:' <<<"$out"; then failed=1; fi
fi
if command -v appstreamcli >/dev/null; then
    ran=1
    # --no-net: the test must not depend on the network.
    appstreamcli validate --no-net --explain "$dir/org.example.Vellumi.metainfo.xml" || failed=1
fi

[ "$ran" -eq 1 ] || { echo "SKIP: neither desktop-file-validate nor appstreamcli is installed"; exit 77; }
exit "$failed"
