#!/bin/sh
# register-standin.sh PREFIX DLL: registers the stand-in movie control DLL in a private Wine prefix
# (never anywhere else) under the movie player's class id and programmatic id, in-process,
# apartment-threaded, with its type library: the DLL's DllRegisterServer (regsvr32) writes
# vellomar_standin.tlb beside it and registers that. PREFIX "-" means the running session's
# prefix, or the default one. The registration points at DLL where it lies, so a rebuilt DLL needs
# no new registration unless its type library changed.
set -eu
[ $# -eq 2 ] || { echo "usage: register-standin.sh PREFIX|- DLL" >&2; exit 2; }
prefix=$1
dll=$(realpath "$2")
[ -f "$dll" ] || { echo "register-standin.sh: no such file: $2" >&2; exit 2; }
[ "$prefix" = - ] || WINEPREFIX=$prefix
. "$(dirname "$0")/common.sh"
if [ "$prefix" = - ] && session_alive; then
    . "$SESSION_ENV"
fi
"$WINE_TOOLS/make-prefix.sh" "$WINEPREFIX"

clsid='{D27CDB6E-AE6D-11CF-96B8-444553540000}'
libid='{4491C279-76F1-45BE-8028-9E16FD08F850}'
progid=ShockwaveFlash.ShockwaveFlash
# Wine maps drive Z: to the Linux root. The .reg file doubles each backslash.
win_dll=$(printf 'Z:%s' "$dll" | sed 's|/|\\|g')
reg_dll=$(printf '%s' "$win_dll" | sed 's|\\|\\\\|g')
reg=$(mktemp "${TMPDIR:-/tmp}/vellomar-standin.XXXXXX.reg")
trap 'rm -f "$reg"' EXIT
cat >"$reg" <<END
REGEDIT4

[HKEY_CLASSES_ROOT\\CLSID\\$clsid]
@="vellomar stand-in movie control"

[HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32]
@="$reg_dll"
"ThreadingModel"="Apartment"

[HKEY_CLASSES_ROOT\\CLSID\\$clsid\\TypeLib]
@="$libid"

[HKEY_CLASSES_ROOT\\CLSID\\$clsid\\Version]
@="1.0"

[HKEY_CLASSES_ROOT\\CLSID\\$clsid\\ProgID]
@="$progid"

[HKEY_CLASSES_ROOT\\$progid]
@="vellomar stand-in movie control"

[HKEY_CLASSES_ROOT\\$progid\\CLSID]
@="$clsid"
END
win_reg=$(printf 'Z:%s' "$reg" | sed 's|/|\\|g')
wine reg import "$win_reg" >/dev/null
# Writes and registers the type library; exits non-zero when that fails.
wine regsvr32 /s "$win_dll"
if ! session_alive; then
    # Let the transient wineserver write the registry and quit before anyone starts a session.
    wineserver -w
fi
