# What the start-up and idle benchmarks measure of a running program, sourced
# by bench/measure.sh and bench/sync-start.sh: medians, the processor time
# until the list is shown (KELVO_STARTUP_REPORT), processor ticks, wake-ups
# (voluntary context switches, thread by thread) and memory. `runs` is the
# number of starts.

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
cpu_of_report() { sed -n 's/^list shown, cpu \([0-9.]*\) ms$/\1/p'; }

startup() { # program args...: median CPU ms and wall ms until the list is shown
    local cpu=() wall=()
    for _ in $(seq "$runs"); do
        local t0 t1 out
        t0=$(date +%s%N)
        out=$(KELVO_STARTUP_REPORT=1 "$@" 2>/dev/null)
        t1=$(date +%s%N)
        cpu+=("$(cpu_of_report <<<"$out")")
        wall+=($(((t1 - t0) / 1000000)))
    done
    echo "$(printf '%s\n' "${cpu[@]}" | median) $(printf '%s\n' "${wall[@]}" | median)"
}

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# wakeup_snapshot PID: one line "TID voluntary-switches" per thread.
wakeup_snapshot() {
    local task
    for task in /proc/"$1"/task/*; do
        awk -v tid="${task##*/}" '/^voluntary_ctxt_switches/ { print tid, $2 }' "$task/status" 2>/dev/null
    done
}
# wakeups BEFORE AFTER: the wake-ups between two snapshots, then the threads
# that started and ended between them.
wakeups() {
    awk 'NR == FNR { before[$1] = $2; next }
        { n += ($1 in before) ? $2 - before[$1] : $2; if (!($1 in before)) started++; seen[$1] = 1 }
        END { for (t in before) if (!(t in seen)) ended++
              printf "%d (threads started %d, ended %d)", n, started, ended }' "$1" "$2"
}
memory() { awk '/^Rss:/ {r=$2} /^Pss:/ {p=$2} END {printf "%.1f %.1f", r/1024, p/1024}' "/proc/$1/smaps_rollup"; }
