#!/usr/bin/env bash
# Writes a program's manual page from its own --help (and, for marunoki-cli, the
# --help of every command the help lists), so the two never disagree.
#
#   man-page.sh PROGRAM OUTPUT "ONE-LINE DESCRIPTION"
set -euo pipefail
program=$1
output=$2
description=$3
name=$(basename "$program")
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
version=$("$program" --version 2>/dev/null | awk '{ print $NF }')

# Help text on stdin to troff: "Heading:" lines become sections (or subsections
# with -v sub=1), "  -x, --opt VALUE   text" and "  name   text" become tagged
# paragraphs, an "例:" section EXAMPLES with its lines kept as they are, other
# lines running text.
to_troff() {
    awk -v sub_="${1:-0}" '
    function esc(s) { gsub(/\\/, "\\\\", s); gsub(/-/, "\\-", s); return s }
    function text(s) { gsub(/\\/, "\\e", s); sub(/^[.\047]/, "\\\\\\&&", s); return s }
    /^(使い方|Usage): / {
        sub(/^(使い方|Usage): /, "")
        print (sub_ ? ".SS 書式" : ".SH 書式"); print ".nf"; print esc($0); synopsis = 1; next }
    synopsis && /^ +[^ ]/ { sub(/^ +/, ""); print esc($0); next }
    synopsis { print ".fi"; synopsis = 0 }
    examples && /^$/ { print ".fi"; examples = 0; print ".PP"; next }
    examples { sub(/^ +/, ""); print esc($0); next }
    /^$/ { print ".PP"; next }
    /^例[:：]$/ { print (sub_ ? ".SS EXAMPLES" : ".SH EXAMPLES"); print ".nf"; examples = 1; next }
    /^[^ ].*[:：]$/ { h = $0; sub(/[:：]$/, "", h); if (h == "Options") h = "オプション"
        print (sub_ ? ".SS " : ".SH ") h; next }
    /^  [^ ]/ {
        line = $0; sub(/^  /, "", line)
        n = match(line, /  +/)
        if (n == 0) { print text(line); next }
        print ".TP"; print ".B " esc(substr(line, 1, n - 1))
        rest = substr(line, n); sub(/^ +/, "", rest); print text(rest); next }
    /^ +/ { sub(/^ +/, ""); print text($0); next }
    { print text($0) }
    END { if (synopsis || examples) print ".fi" }'
}

{
    echo ".TH ${name^^} 1 \"\" \"$name $version\" \"Marunoki\""
    echo ".ad l"
    echo ".nh"
    echo ".SH NAME"
    echo "$name \\- $description"
    "$program" --help | sed "s#^Usage: [^ ]*#Usage: $name#" | to_troff
    # The commands, each from its own help.
    commands=$("$program" --help | awk '/^コマンド:/ { on = 1; next } on && /^$/ { exit } on { print $1 }')
    for command in $commands; do
        echo ".SH \"$command\""
        "$program" "$command" --help | to_troff 1
    done
} >"$output"
