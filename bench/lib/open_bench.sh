# Shared steps of the open benchmarks (sourced, bash).

# drop FILE: the file leaves the page cache, so that the next read is cold.
drop() { python3 -c "import os,sys; fd=os.open(sys.argv[1],os.O_RDONLY); os.posix_fadvise(fd,0,0,os.POSIX_FADV_DONTNEED); os.close(fd)" "$1"; }

# seconds COMMAND...: how long the command took, its output dropped.
seconds() { local t0=$EPOCHREALTIME; "$@" >/dev/null 2>&1 || true; awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN {print b - a}'; }

# stats [DECIMALS]: median, p95 and slowest of the numbers on standard input.
stats() {
    sort -n | awk -v d="${1:-2}" '{a[NR]=$1} END {p=int((NR*95+99)/100); f="%8." d "f"; printf f " " f " " f "\n", a[int((NR+1)/2)], a[p], a[NR]}'
}

# limit_reads GROUP DIR MB_PER_S: a cgroup v1 blkio group whose reads from the disk
# holding DIR are limited (root). A partition's reads count against its disk: the
# limit names the whole disk.
limit_reads() {
    local dev disk
    dev=$(findmnt -n -o MAJ:MIN -T "$2" | head -1)
    disk=$(lsblk -no PKNAME "$(findmnt -n -o SOURCE -T "$2")" 2>/dev/null || true)
    [ -n "$disk" ] && dev=$(lsblk -dno MAJ:MIN "/dev/$disk" | tr -d ' ')
    mkdir -p "$1"
    echo "$dev $(($3 * 1024 * 1024))" >"$1/blkio.throttle.read_bps_device"
}
