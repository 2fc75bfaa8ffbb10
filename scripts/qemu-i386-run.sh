#!/usr/bin/env bash
# Runs a command so that the 32-bit x86 programs it starts run through qemu-i386, on a
# machine whose kernel cannot start them itself (32-bit emulation switched off). Nothing
# outside changes: the command runs in a private user and mount namespace, with a
# binfmt_misc of its own (Linux 6.7 and later) that hands i386 ELF files to
# qemu-i386-static. Where the kernel can start 32-bit programs the command simply runs.
#
#   scripts/qemu-i386-run.sh [--check] COMMAND [ARG]...
# --check only says whether the route works here (status 0) or why not (status 1).
# KRN_QEMU_FORCE=1 takes the route even where the kernel could start the programs itself
# (the route's own test, on any machine).
set -euo pipefail

check_only=0
if [ "${1:-}" = --check ]; then check_only=1; shift; fi

if [ "${KRN_QEMU_FORCE:-0}" != 1 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  [ $check_only = 1 ] && { echo "native: this kernel starts 32-bit programs itself"; exit 0; }
  exec "$@"
fi

qemu=$(command -v qemu-i386-static || true)
if [ -z "$qemu" ]; then
  echo "qemu-i386-run: qemu-i386-static is missing (Debian package qemu-user-static)" >&2
  exit 1
fi

# Inside the namespace: a fresh binfmt_misc, an entry for i386 ELF executables and shared
# objects (the F flag opens qemu now, so it is found whatever the process sees later; P
# keeps the program's own argv[0]), then the command.
inner='
set -e
mount -t binfmt_misc krn-binfmt /proc/sys/fs/binfmt_misc
magic="\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00"
mask="\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff"
printf "%s" ":krn-i386:M::$magic:$mask:$KRN_QEMU_I386:PF" >/proc/sys/fs/binfmt_misc/register
if [ "$KRN_QEMU_CHECK" = 1 ]; then
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo "qemu-i386 did not start a 32-bit program" >&2; exit 1; }
  echo "qemu: 32-bit programs run through $KRN_QEMU_I386 in a private namespace"
  exit 0
fi
exec "$@"
'
if ! KRN_QEMU_I386=$qemu KRN_QEMU_CHECK=$check_only \
  unshare --user --map-root-user --mount --fork bash -c "$inner" krn-qemu "$@"; then
  status=$?
  if [ $check_only = 1 ]; then
    echo "qemu-i386-run: this machine cannot start 32-bit programs, and no private binfmt_misc" \
      "could be set up for qemu (user namespaces or a namespaced binfmt_misc, Linux 6.7 and" \
      "later, are missing)" >&2
  fi
  exit $status
fi
