#!/bin/bash
# Runs a command beside a private Samba server, inside a network namespace
# of its own so that no packet can leave the machine whatever the client
# library broadcasts.
#
#   samba-env.sh [--netbios] COMMAND [ARG]...
#
# smbd listens on 127.0.0.1 ports 4445 and 445 (the port "(Local)" uses;
# the namespace has it to itself) as QSERVER of workgroup QUIDDITYTEST,
# with two public shares (share1 holds the PE fixture hello32.exe and a
# folder, share2 two text files) and one, secret, for the user quser only.
# --netbios also starts nmbd on 127.1.0.1/24, so that the workgroup and
# server levels have a browse master (an election takes about 20 s).
#
# The command runs with HOME pointing at a private client configuration;
# every directory either daemon or the client writes lies in a temporary
# folder.  Exit status 77 means the test could not run here (not root, or
# namespaces refused); ctest reports it as skipped.
set -eu

readonly kSkip=77
here="$(cd "$(dirname "$0")" && pwd)"
fixtures="$here/../fixtures"

if [ "$(id -u)" -ne 0 ]; then
    echo "samba-env: skipped: a private network namespace needs root" >&2
    exit $kSkip
fi
# First pass: move into new network and mount namespaces, then run again.
if [ -z "${QUIDDITY_IN_NAMESPACE:-}" ]; then
    if ! unshare -n -m true 2>/dev/null; then
        echo "samba-env: skipped: unshare of the network namespace was refused" >&2
        exit $kSkip
    fi
    QUIDDITY_IN_NAMESPACE=1 exec unshare -n -m --propagation private "$0" "$@"
fi

netbios=0
if [ "${1:-}" = "--netbios" ]; then
    netbios=1
    shift
fi

ip link set lo up
root="$(mktemp -d /tmp/quiddity-samba.XXXXXX)"
smbd_pid=""
nmbd_pid=""
cleanup() {
    # smbd and nmbd each lead a process group of their own (setsid) and
    # signal it on SIGTERM.
    for pid in $smbd_pid $nmbd_pid; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in $smbd_pid $nmbd_pid; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL -- "-$pid" 2>/dev/null || true
    done
    rm -rf "$root"
}
trap cleanup EXIT

mkdir -p "$root"/{lock,state,cache,private,pid,log,ncalrpc,binddns,share1/folder,share2,secret,home/.smb,etc}
cp "$fixtures/pe/hello32.exe" "$root/share1/"
printf 'inside a folder\n' >"$root/share1/folder/inner.txt"
printf 'hello from share2\n' >"$root/share2/readme.txt"
# A name the URL syntax would decode into another unless it is escaped.
printf 'percent\n' >"$root/share2/a%20b.txt"
printf 'for quser only\n' >"$root/secret/private.txt"
chmod -R a+rX "$root"

# quser exists only in this mount namespace: a copy of the account files
# is bound over the real ones.
cp /etc/passwd /etc/group "$root/etc/"
echo "quser:x:4445:4445:Quiddity test:/nonexistent:/usr/sbin/nologin" >>"$root/etc/passwd"
echo "quser:x:4445:" >>"$root/etc/group"
mount --bind "$root/etc/passwd" /etc/passwd
mount --bind "$root/etc/group" /etc/group

directories() {
    cat <<EOF
   lock directory = $root/lock
   state directory = $root/state
   cache directory = $root/cache
   private dir = $root/private
   pid directory = $root/pid
   ncalrpc dir = $root/ncalrpc
   binddns dir = $root/binddns
EOF
}

conf="$root/smb.conf"
{
    cat <<EOF
[global]
   workgroup = QUIDDITYTEST
   netbios name = QSERVER
   server string = Quiddity test server
   server role = standalone server
   interfaces = lo 127.0.0.1/8$([ $netbios -eq 1 ] && echo " 127.1.0.1/24")
   bind interfaces only = yes
   smb ports = 4445 445
   disable netbios = $([ $netbios -eq 1 ] && echo no || echo yes)
   passdb backend = tdbsam
   map to guest = Bad User
   guest account = nobody
   load printers = no
   printcap name = /dev/null
   disable spoolss = yes
   log file = $root/log/%m.log
   max log size = 100
   usershare path =
EOF
    directories
    if [ $netbios -eq 1 ]; then
        # The browse list is served over SMB1 only.
        cat <<EOF
   server min protocol = NT1
   local master = yes
   preferred master = yes
   os level = 65
   domain master = yes
EOF
    fi
    cat <<EOF

[share1]
   comment = First public share
   path = $root/share1
   read only = yes
   guest ok = yes

[share2]
   comment = Second public share
   path = $root/share2
   read only = yes
   guest ok = yes

[secret]
   comment = Needs a password
   path = $root/secret
   read only = yes
   valid users = quser
EOF
} >"$conf"

printf 'quidditypw\nquidditypw\n' | smbpasswd -c "$conf" -s -a quser >/dev/null

# The client's own configuration, read from HOME as libsmbclient does.
{
    cat <<EOF
[global]
   workgroup = QUIDDITYTEST
   netbios name = QCLIENT
   interfaces = lo 127.0.0.1/8$([ $netbios -eq 1 ] && echo " 127.1.0.1/24")
   name resolve order = $([ $netbios -eq 1 ] && echo "bcast host" || echo "host")
   log level = 0
EOF
    directories | sed "s|$root/|$root/client-|"
} >"$root/home/.smb/smb.conf"
mkdir -p "$root"/client-{lock,state,cache,private,pid,ncalrpc,binddns}

if [ $netbios -eq 1 ]; then
    ip addr add 127.1.0.1/24 brd 127.1.0.255 dev lo
    setsid nmbd --foreground --no-process-group -s "$conf" </dev/null >"$root/log/nmbd.out" 2>&1 &
    nmbd_pid=$!
fi
setsid smbd --foreground --no-process-group -s "$conf" </dev/null >"$root/log/smbd.out" 2>&1 &
smbd_pid=$!

# smbd answers in about 0.1 s; give it 10.
for _ in $(seq 100); do
    if (exec 3<>/dev/tcp/127.0.0.1/4445) 2>/dev/null; then break; fi
    if ! kill -0 "$smbd_pid" 2>/dev/null; then
        echo "samba-env: smbd did not start:" >&2
        cat "$root/log/smbd.out" >&2
        exit 1
    fi
    sleep 0.1
done

status=0
HOME="$root/home" QUIDDITY_SAMBA_ROOT="$root" "$@" || status=$?
if [ $status -ne 0 ] && [ -n "${QUIDDITY_SAMBA_LOGS:-}" ]; then
    tail -n 50 "$root"/log/* >&2
fi
exit $status
