#!/usr/bin/env bash
# Builds the Debian package into a temporary folder and runs lintian on it: any error or
# warning fails. Also checks the one thing lintian cannot know, that the command in /usr/games
# leads to the program beside its data.
#   bash lint_deb.sh PATH/TO/cpack PATH/TO/build
# Exit 0: passed; 1: failed; 77: cannot be tried here (SKIP).
set -u
cpack=${1:?usage: lint_deb.sh PATH/TO/cpack PATH/TO/build}
build=${2:?usage: lint_deb.sh PATH/TO/cpack PATH/TO/build}
for tool in lintian dpkg-deb dpkg-shlibdeps file timeout; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (packages lintian, dpkg-dev, file)"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vellumi-deb.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

if ! timeout 120 "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack could not build the package"
    exit 1
fi
deb=$(ls "$work"/vellumi_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: cpack made no vellumi_*.deb"; exit 1; }

failed=0
listing=$(dpkg-deb -c "$deb")
grep -q ' \./usr/games/tessra -> \.\./lib/vellumi/tessra$' <<<"$listing" \
    || { echo "FAIL: no link usr/games/tessra -> ../lib/vellumi/tessra"; failed=1; }
grep -q ' \./usr/lib/vellumi/image/picture\.txt$' <<<"$listing" \
    || { echo "FAIL: the data folder is not beside the program"; failed=1; }

# Info and pedantic notes are listed but tolerated; see the README for the known ones.
report=$(timeout 120 lintian --display-info --pedantic "$deb" 2>&1 | grep -v 'running with root privileges')
echo "$report"
if grep -Eq '^[EW]: ' <<<"$report"; then
    echo "FAIL: lintian reports errors or warnings"
    failed=1
fi
exit "$failed"
