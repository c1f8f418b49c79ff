#!/usr/bin/env bash
# Compares our BPS patches with another patcher's on the same synthetic images, in the same run:
# for each edit shape of patch_bench, the size of our patch and of the other's delta BPS, and
# the ratios of the times (wall clock, median of 5 runs): creation, application in place
# (journal and syncs included) against the other's application into a new file, and our dry run
# against the other's application. Both patches are also applied by the other program, so the
# table says whether each patcher's patch makes the edited image in the other.
#   bench/compare-patchers.sh build/release /path/to/other-patcher
# The other patcher is called as: OTHER --create --bps-delta ORIGINAL EDITED PATCH and
# OTHER --apply PATCH ORIGINAL OUTPUT.
set -euo pipefail
build=${1:?usage: compare-patchers.sh BUILD_FOLDER OTHER_PATCHER}
other=${2:?usage: compare-patchers.sh BUILD_FOLDER OTHER_PATCHER}
ours="$build/cli/slamwise"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/patch_bench" --write "$work" > "$work/shapes"

# Microseconds of one run of the command; `prepare` runs first, untimed.
timed() {
    local prepare=$1
    shift
    eval "$prepare"
    local start end
    start=$(date +%s%N)
    "$@" < /dev/null > /dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

# The median of 5 runs.
median() {
    local prepare=$1
    shift
    for _ in 1 2 3 4 5; do timed "$prepare" "$@"; done | sort -n | sed -n 3p
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '%-24s %8s %8s %8s %6s %7s %7s %7s %s\n' edit changed ours theirs size create apply \
    dry-run "both ways"
while read -r n name; do
    original="$work/$n-original.sfc"
    edited="$work/$n-edited.sfc"
    copy="$work/copy.sfc"
    changed=$({ cmp -l "$original" "$edited" || true; } | wc -l)
    create_ours=$(median "rm -f $work/ours.bps" "$ours" patch create "$original" "$edited" \
        "$work/ours.bps")
    create_theirs=$(median "rm -f $work/theirs.bps" "$other" --create --bps-delta "$original" \
        "$edited" "$work/theirs.bps")
    apply_ours=$(median "cp $original $copy" "$ours" patch apply "$copy" "$work/ours.bps")
    cmp -s "$copy" "$edited" || { echo "our apply of our patch is wrong: $name" >&2; exit 1; }
    apply_theirs=$(median "rm -f $work/out.sfc" "$other" --apply "$work/ours.bps" "$original" \
        "$work/out.sfc")
    both="yes"
    cmp -s "$work/out.sfc" "$edited" || both="NO (ours in theirs)"
    cp "$original" "$copy"
    "$ours" patch apply "$copy" "$work/theirs.bps" < /dev/null > /dev/null
    cmp -s "$copy" "$edited" || both="NO (theirs in ours)"
    cp "$original" "$copy"
    dry=$(median "" "$ours" patch apply "$copy" "$work/ours.bps" --dry-run)
    size_ours=$(stat -c %s "$work/ours.bps")
    size_theirs=$(stat -c %s "$work/theirs.bps")
    printf '%-24s %8d %8d %8d %6s %7s %7s %7s %s\n' "$name" "$changed" "$size_ours" \
        "$size_theirs" "$(ratio "$size_ours" "$size_theirs")" \
        "$(ratio "$create_ours" "$create_theirs")" "$(ratio "$apply_ours" "$apply_theirs")" \
        "$(ratio "$dry" "$apply_theirs")" "$both"
done < "$work/shapes"
echo "size, create, apply: ours / theirs; dry-run: our dry run / their apply (times: medians of 5)"
