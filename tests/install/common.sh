# Shared by the installation tests: sourced, not run.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

expect_file() {
  [ -f "$1" ] || fail "missing $1"
}

# The width and height of a PNG file, as "WxH", from its header.
png_size() {
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
  echo "${w}x${h}"
}

# Starts an installed program offscreen with a drive of its own and no override
# of where it looks for plug-ins and help; it ends once its main window shows.
# Prints what the program says. $1 the executable, $2 a scratch folder.
start_installed() {
  mkdir -p "$2/home" "$2/disk"
  echo "a file" >"$2/disk/readme.txt"
  env -u ZENTRIX_PLUGIN_DIR -u ZENTRIX_HELP_DIR QT_QPA_PLATFORM=offscreen \
    ZENTRIX_HOME="$2/home" ZENTRIX_DRIVES="C=$2/disk" ZENTRIX_QUIT_WHEN_SHOWN=1 \
    timeout 120 "$1" </dev/null
}

# Checks what start_installed printed ($1) against the installed prefix ($2).
expect_started_from() {
  echo "$1" | grep -qx "main window shown: yes" || fail "the main window did not show: $1"
  echo "$1" | grep -qx "plug-ins: $2/lib/zentrix (FileInfo loaded)" ||
    fail "plug-ins not taken from $2/lib/zentrix: $1"
  echo "$1" | grep -qx "help: $2/share/zentrix/help" ||
    fail "help not taken from $2/share/zentrix/help: $1"
}
