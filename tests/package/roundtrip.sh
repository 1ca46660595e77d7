#!/usr/bin/env bash
# The Debian package's round trip (make package-check, run by CI after make check): inspects the
# package (its control fields, its contents, lintian), installs it with dpkg -i, starts the
# installed programs from /usr/bin under Xvfb, removes it with dpkg -r and checks that nothing of
# it stays behind.
#
#   tests/package/roundtrip.sh <package.deb>
#
# Needs root. It changes the system only while it runs, and refuses to run where the package is
# installed already (it would remove the user's own installation).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
log() { printf 'package-check: %s\n' "$*"; }
fail() {
    printf 'package-check: FAIL: %s\n' "$*" >&2
    exit 1
}

[[ $# -eq 1 ]] || fail "usage: $0 <package.deb> (one package; found: $*)"
deb=$(realpath -- "$1")
[[ -f "$deb" ]] || fail "no package $1"
[[ $(id -u) -eq 0 ]] || fail "needs root: it installs the package with dpkg -i"
for tool in dpkg dpkg-deb dpkg-query lintian Xvfb xauth file; do
    command -v "$tool" >/dev/null || fail "needs $tool (scripts/install-deps package)"
done

field() { dpkg-deb --field "$deb" "$1"; }
name=$(field Package)
status_of() { dpkg-query -W -f='${db:Status-Abbrev}' "$name" 2>/dev/null || true; }
case "$(status_of)" in
    "" | "un "*) ;;
    *) fail "$name is known to dpkg already ($(status_of)); remove it first: dpkg --purge $name" ;;
esac

# --- The control fields -------------------------------------------------------------------------
log "dpkg-deb --info $(basename "$deb")"
dpkg-deb --info "$deb"
version=$(sed -n 's/^project(leveltools VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ -n "$version" ]] || fail "cannot read the project's version from CMakeLists.txt"
[[ "$name" == leveltools ]] || fail "package name $name, expected leveltools"
[[ "$(field Version)" == "$version" ]] || fail "version $(field Version), the project is $version"
[[ "$(field Architecture)" == "$(dpkg --print-architecture)" ]] || fail "architecture $(field Architecture)"
[[ "$(field Section)" == utils ]] || fail "section $(field Section), expected utils"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "maintainer '$(field Maintainer)' is no 'name <address>'"
# The dependencies come from dpkg-shlibdeps: the C and C++ libraries and Qt's three.
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ ",$(field Depends | tr -d ' ')" == *",$library("* ]] || fail "Depends lacks $library: $(field Depends)"
done

# --- The contents --------------------------------------------------------------------------------
log "dpkg-deb --contents $(basename "$deb")"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"
diff -u <("$root/scripts/check-install" --expected | sed 's|^|usr/|') \
    <(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | sed 's|^\./||' | sort) ||
    fail "the package does not hold exactly the files of an installation (- expected, + in the package)"
if awk '$2 != "root/root"' <<<"$contents" | grep .; then fail "files above are not owned by root"; fi
if awk '$1 !~ /^(drwxr-xr-x|-rw-r--r--|-rwxr-xr-x)$/' <<<"$contents" | grep .; then
    fail "files above have unusual permissions"
fi

# --- lintian ------------------------------------------------------------------------------------
# Errors and warnings fail the check; informational tags are shown (the README says why those
# that remain are left).
log "lintian $(basename "$deb")"
findings=$(lintian --display-info --fail-on none "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[[ -n "$findings" ]] && echo "$findings"
if grep -E '^[EW]: ' <<<"$findings"; then fail "lintian reports the errors or warnings above"; fi

# --- Install, start, remove ---------------------------------------------------------------------
# The folders the package puts files into, as they are before it comes.
folders=(/usr/bin /usr/share/man/man1 /usr/share/doc /var/lib/dpkg/info)
snapshot() { find "${folders[@]}" -maxdepth 1 -printf '%p %y %m\n' | sort; }
before=$(snapshot)

installed=
cleanup() {
    # A check that fails half way still takes the package away again.
    if [[ -n "$installed" ]]; then dpkg -r "$name" >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT

log "dpkg -i $(basename "$deb")"
installed=yes
dpkg -i "$deb"
[[ "$(status_of)" == "ii "* ]] || fail "$name is not installed after dpkg -i: $(status_of)"
files=$(dpkg -L "$name")

for program in tessavor pallowick levelcheck; do
    [[ -x /usr/bin/$program ]] || fail "/usr/bin/$program is not there"
    file -b "/usr/bin/$program" | grep -q ', stripped' || fail "/usr/bin/$program is not stripped"
done
(cd "$root/examples/game" && /usr/bin/levelcheck levels/*.lev >/dev/null) ||
    fail "the installed levelcheck finds errors in the example levels, or does not run"
if command -v man >/dev/null; then
    for program in tessavor pallowick levelcheck; do
        [[ "$(man -w "$program")" == "/usr/share/man/man1/$program.1.gz" ]] ||
            fail "man finds no page of $program"
    done
fi

log "starting the installed programs under Xvfb"
"$root/tests/e2e/with-xvfb.sh" bash "$root/tests/package/start-installed.sh" /usr/bin ||
    fail "the installed programs did not show their windows"

log "dpkg -r $name"
dpkg -r "$name"
installed=
# No conffiles and no maintainer scripts: dpkg forgets the package entirely on removal.
[[ "$(status_of)" == "" || "$(status_of)" == "un "* ]] || fail "$name is left as '$(status_of)' after dpkg -r"
while read -r path; do
    [[ -d "$path" && ! -L "$path" ]] && continue # shared folders such as /usr/bin stay
    [[ ! -e "$path" && ! -L "$path" ]] || fail "$path stayed behind after dpkg -r"
done <<<"$files"
[[ ! -e /usr/share/doc/$name ]] || fail "/usr/share/doc/$name stayed behind after dpkg -r"
diff -u <(echo "$before") <(snapshot) || fail "the folders above differ from before the installation"

log "the package installs, its programs start from /usr/bin, and it leaves nothing behind"
