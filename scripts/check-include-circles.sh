#!/bin/bash
# Fails when the units of a source directory include each other in a circle. A unit is a
# header and its source file of one name (X.h, X.cpp); unit X depends on unit Y when either of
# X's files includes "<dir>/Y.h" of the same directory. Usage: check-include-circles.sh ROOT DIR...
# (DIR relative to ROOT, as the includes name it).
set -u
root=$1
shift
status=0
for dir in "$@"; do
    edges=$(
        for file in "$root/$dir"/*.h "$root/$dir"/*.cpp; do
            [ -e "$file" ] || continue
            unit=$(basename "${file%.*}")
            sed -n "s|^[[:space:]]*#[[:space:]]*include[[:space:]]*\"$dir/\([^\"/]*\)\.h\".*|\1|p" "$file" |
                while read -r used; do
                    [ "$used" != "$unit" ] && echo "$unit $used"
                done
            echo "$unit $unit"  # every unit stands in the graph
        done
    )
    # tsort names the units of each circle it finds on its standard error.
    if ! loops=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null) || [ -n "$loops" ]; then
        echo "include circle among the units of $dir:"
        printf '%s\n' "$loops" | sed -n 's/^tsort: //p' | grep -v 'input contains a loop'
        status=1
    else
        echo "$dir: $(printf '%s\n' "$edges" | awk '{print $1}' | sort -u | wc -l) units, no include circle"
    fi
done
exit $status
