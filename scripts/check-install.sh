#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR under a prefix with spaces and
# checks the installed tree: the programs run from it (also after the tree
# is moved and made read-only, and with run-time data missing) and write
# nothing into it; the desktop entry validates; the manual pages render and
# cover every subcommand and option of the programs' usage texts; the MIME
# description is well-formed; bash completion completes; the Debian package
# names its dependencies.
#
# usage: scripts/check-install.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=$(cd "${1:-build}" && pwd)

failures=0
fail() { echo "check-install: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "check-install: ok: $*"; }
need() { command -v "$1" >/dev/null || { echo "check-install: $1 missing (run scripts/install-deps.sh)" >&2; exit 1; }; }
for tool in desktop-file-validate xmllint man; do need "$tool"; done

version=$(sed -n 's/^project(tabulon VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "check-install: no version in CMakeLists.txt" >&2; exit 1; }

# What is installed must be built (a no-op after a full build).
targets=(tabulon-cli tabulon_man)
grep -q "^tabulon:" <(cmake --build "$build" --target help 2>/dev/null) && targets+=(tabulon)
cmake --build "$build" --target "${targets[@]}" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/tabulon check.XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
prefix="/opt/tabulon $version"
dest="$work/dest dir"
DESTDIR="$dest" cmake --install "$build" --prefix "$prefix" >"$work/install.log"
root="$dest$prefix"

gui=0
[ -x "$build/tabulon" ] && gui=1

# Settings go to a configuration folder of our own, never to the caller's.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config home"
mkdir -p "$HOME"

# --- the installed tree ------------------------------------------------------
expected=(bin/tabulon-cli share/man/man1/tabulon-cli.1.gz
          share/bash-completion/completions/tabulon-cli)
if [ $gui = 1 ]; then
  expected+=(bin/tabulon share/man/man1/tabulon.1.gz share/applications/tabulon.desktop
             share/mime/packages/tabulon.xml share/icons/hicolor/scalable/apps/tabulon.svg
             share/icons/hicolor/16x16/apps/tabulon.png share/icons/hicolor/48x48/apps/tabulon.png
             share/icons/hicolor/256x256/apps/tabulon.png)
fi
for f in "${expected[@]}"; do
  [ -e "$root/$f" ] || fail "not installed: $f"
done
pass "installed under '$prefix' (${#expected[@]} expected files present)"

# --- the programs run from it --------------------------------------------------
run_checks() {  # $1: the tree's root, $2: what it is
  local r=$1 what=$2 out
  out=$("$r/bin/tabulon-cli" --version) || fail "$what: tabulon-cli --version failed"
  [ "$out" = "tabulon-cli $version" ] || fail "$what: tabulon-cli --version printed '$out'"
  out=$("$r/bin/tabulon-cli" eval 1+1) || fail "$what: tabulon-cli eval failed"
  [ "$out" = 2 ] || fail "$what: tabulon-cli eval 1+1 printed '$out'"
  "$r/bin/tabulon-cli" convert "$repo/examples/example.wks" "$work/out $what.csv" ||
    fail "$what: tabulon-cli convert failed"
  if [ $gui = 1 ]; then
    out=$(QT_QPA_PLATFORM=offscreen "$r/bin/tabulon" --version) ||
      fail "$what: tabulon --version failed"
    [ "$out" = "tabulon $version" ] || fail "$what: tabulon --version printed '$out'"
  fi
}
run_checks "$root" "installed tree"
pass "tabulon-cli --version, eval 1+1, convert; tabulon --version ($version)"

# Opens the example in the windowed program without a display, saves a
# picture and exits; its standard error goes to $work/gui.err.
run_gui() {  # $1: the tree's root, $2: picture file
  rm -f "$2"
  QT_QPA_PLATFORM=offscreen timeout 60 "$1/bin/tabulon" --no-splash --screenshot "$2" \
    "$repo/examples/example.wks" 2>"$work/gui.err" >/dev/null
}

# --- a moved, read-only tree, and nothing written into it ---------------------
moved="$work/moved tree"
mv "$dest" "$moved"
root="$moved$prefix"
listing() { (cd "$moved" && find . -printf "%p %s %T@\n" | LC_ALL=C sort); }
listing >"$work/before"
chmod -R a-w "$moved"
run_checks "$root" "moved read-only tree"
if [ $gui = 1 ]; then
  if run_gui "$root" "$work/shot.png" && [ -s "$work/shot.png" ]; then
    pass "tabulon starts from the moved read-only tree and shows the example"
  else
    fail "tabulon did not start from the moved tree: $(cat "$work/gui.err")"
  fi
  if grep -q "missing" "$work/gui.err"; then
    fail "tabulon reports missing data in a complete tree: $(cat "$work/gui.err")"
  fi
  [ -f "$XDG_CONFIG_HOME/tabulon/TBL.INI" ] ||
    fail "the settings were not written to \$XDG_CONFIG_HOME/tabulon"
fi
# Root may write anywhere: run once more as an unprivileged user, for whom
# the tree really is read-only.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  user="$work/user"
  mkdir -p "$user"
  cp "$repo/examples/example.wks" "$user/example.wks"
  chmod 755 "$work"
  chmod 777 "$user"
  as_nobody() {
    setpriv --reuid=65534 --regid=65534 --clear-groups \
      env HOME="$user" XDG_CONFIG_HOME="$user/config" QT_QPA_PLATFORM=offscreen "$@"
  }
  out=$(as_nobody "$root/bin/tabulon-cli" eval 2*21) && [ "$out" = 42 ] ||
    fail "tabulon-cli does not run for an unprivileged user: $out"
  if [ $gui = 1 ]; then
    as_nobody timeout 60 "$root/bin/tabulon" --no-splash --screenshot "$user/shot.png" \
      "$user/example.wks" >/dev/null 2>"$work/gui.err"
    [ -s "$user/shot.png" ] ||
      fail "tabulon does not start for an unprivileged user: $(cat "$work/gui.err")"
    [ -f "$user/config/tabulon/TBL.INI" ] ||
      fail "the unprivileged user's settings were not written to \$XDG_CONFIG_HOME/tabulon"
  fi
  pass "the programs run for an unprivileged user from the read-only tree"
fi
chmod -R u+w "$moved"
listing >"$work/after"
if cmp -s "$work/before" "$work/after"; then
  pass "nothing written into the install tree at run time"
else
  fail "the programs changed the install tree: $(diff "$work/before" "$work/after" | head -5)"
fi

# --- missing run-time data ------------------------------------------------------
if [ $gui = 1 ]; then
  data="$root/share/tabulon"
  items=()
  if [ -d "$data" ]; then
    while IFS= read -r -d '' item; do items+=("$(basename "$item")"); done \
      < <(find "$data" -mindepth 1 -maxdepth 1 -print0)
  fi
  if [ ${#items[@]} -gt 0 ]; then
    mv "$data" "$work/data aside"
    if run_gui "$root" "$work/shot2.png" && [ -s "$work/shot2.png" ]; then
      pass "tabulon starts without its run-time data"
    else
      fail "tabulon did not start without its run-time data: $(cat "$work/gui.err")"
    fi
    for item in "${items[@]}"; do
      grep -qF -- "$item" "$work/gui.err" || fail "tabulon did not say that $item is missing"
    done
    grep -qF -- "$data" "$work/gui.err" || fail "tabulon did not say where it looked: $(cat "$work/gui.err")"
    mv "$work/data aside" "$data"
    pass "missing data named on standard error: $(grep -m1 "^tabulon:" "$work/gui.err")"
  else
    pass "this build installs no run-time data (no docs/manual, nothing in data/runtime)"
  fi
fi

# --- desktop entry, MIME description, icons ------------------------------------
if [ $gui = 1 ]; then
  desktop-file-validate "$root/share/applications/tabulon.desktop" &&
    pass "desktop entry validates" || fail "desktop-file-validate"
  mime="$root/share/mime/packages/tabulon.xml"
  xmllint --noout "$mime" && pass "MIME description is well-formed XML" || fail "xmllint $mime"
  if command -v update-mime-database >/dev/null; then
    mkdir -p "$work/mime/packages"
    cp "$mime" "$work/mime/packages/"
    # (with the folder on the data path, so that it has no note to print)
    XDG_DATA_HOME="$work" update-mime-database "$work/mime" 2>"$work/mime.err" ||
      fail "update-mime-database"
    [ -s "$work/mime.err" ] && fail "update-mime-database: $(cat "$work/mime.err")"
    for glob in wks wk1 wkb; do
      grep -q "application/x-tabulon-$glob:\*\.$glob" "$work/mime/globs2" ||
        fail "no MIME type for *.$glob"
    done
    pass "update-mime-database reads it: *.wks, *.wk1, *.wkb"
  fi
  grep -q "^MimeType=.*application/x-tabulon-wks;" "$root/share/applications/tabulon.desktop" ||
    fail "the desktop entry does not open .wks files"
fi

# --- manual pages ----------------------------------------------------------------
render() {  # $1: page; prints the text, fails on groff warnings
  MANWIDTH=80 man -l --warnings=all "$1" 2>"$work/man.err"
  [ ! -s "$work/man.err" ] || fail "$(basename "$1"): $(head -3 "$work/man.err")"
}
pages=(tabulon-cli)
[ $gui = 1 ] && pages+=(tabulon)
for page in "${pages[@]}"; do
  render "$root/share/man/man1/$page.1.gz" >"$work/$page.txt"
  grep -q "^NAME" "$work/$page.txt" && grep -q "^EXAMPLES" "$work/$page.txt" ||
    fail "$page(1) does not render with NAME and EXAMPLES"
done
pass "manual pages render: ${pages[*]}"

# Every subcommand and option of the usage texts has its place in the pages.
cli_help=$("$root/bin/tabulon-cli" --help)
commands=$(awk '/^commands:/ {on=1; next} /^[^ ]/ {on=0} on && /^  [a-z]/ {print $1}' <<<"$cli_help")
[ -n "$commands" ] || fail "no subcommands found in tabulon-cli --help"
for c in $commands; do
  grep -Eq "^   $c( |$)" "$work/tabulon-cli.txt" ||
    fail "tabulon-cli(1) has no section for the subcommand '$c' (add one under COMMANDS in data/man/tabulon-cli.1)"
done
for o in $(grep -oE -- '--[a-z0-9-]+' <<<"$cli_help" | sort -u) --version; do
  grep -qF -- "$o" "$work/tabulon-cli.txt" || fail "tabulon-cli(1) does not mention $o"
done
if [ $gui = 1 ]; then
  for o in $("$root/bin/tabulon" --help 2>&1 | grep -oE -- '--[a-z0-9-]+' | sort -u); do
    grep -qF -- "$o" "$work/tabulon.txt" || fail "tabulon(1) does not mention $o"
  done
fi
pass "the pages cover the subcommands ($(echo $commands)) and options of --help"

# --- bash completion ---------------------------------------------------------------
if [ -f /usr/share/bash-completion/bash_completion ]; then
  mkdir -p "$work/files/sub"
  touch "$work/files/a.wks" "$work/files/b.WK1" "$work/files/c.txt"
  complete_words() {  # the words after tabulon-cli; prints the completions
    PATH="$root/bin:$PATH" bash --norc -c '
      source /usr/share/bash-completion/bash_completion
      source "$1"; shift
      COMP_WORDS=(tabulon-cli "$@"); COMP_CWORD=$#
      COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
      _tabulon_cli tabulon-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
      printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort' \
      _ "$root/share/bash-completion/completions/tabulon-cli" "$@"
  }
  got=$(complete_words "" | tr '\n' ' ')
  for c in $commands; do
    [[ " $got " == *" $c "* ]] || fail "completion of subcommands lacks $c: $got"
  done
  got=$(complete_words convert --r | tr '\n' ' ')
  [ "$got" = "--range " ] || fail "completion of convert --r gave '$got'"
  got=$(cd "$work/files" && complete_words dump "" | tr '\n' ' ')
  [ "$got" = "a.wks b.WK1 sub " ] || fail "completion of worksheet files gave '$got'"
  pass "bash completion: subcommands, options, worksheet files"
else
  echo "check-install: bash-completion not installed: completion not checked"
fi

# --- Debian package ---------------------------------------------------------------
if command -v dpkg-shlibdeps >/dev/null && command -v cpack >/dev/null && [ $gui = 1 ]; then
  (cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
    fail "cpack -G DEB: $(tail -5 "$work/cpack.log")"
  deb=$(find "$work/package" -maxdepth 1 -name 'tabulon_*.deb' | head -1)
  if [ -n "$deb" ]; then
    depends=$(dpkg-deb -f "$deb" Depends)
    for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libxlsxwriter; do
      [[ "$depends" == *"$p"* ]] || fail "the package does not depend on $p: $depends"
    done
    dpkg-deb -c "$deb" >"$work/contents"
    for f in ./usr/bin/tabulon ./usr/bin/tabulon-cli ./usr/share/applications/tabulon.desktop \
             ./usr/share/man/man1/tabulon.1.gz ./usr/share/mime/packages/tabulon.xml; do
      grep -qF " $f" "$work/contents" || fail "the package lacks $f"
    done
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
    pass "$(basename "$deb"): Depends: $depends"
  else
    fail "cpack made no tabulon_*.deb"
  fi
fi

if [ $failures -gt 0 ]; then
  echo "check-install: $failures check(s) failed" >&2
  exit 1
fi
echo "check-install: all checks passed"
