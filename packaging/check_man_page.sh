#!/usr/bin/env bash
# Compares a man page with what its program prints for --help, so that neither names an
# option or a command the other lacks:
#   check_man_page.sh PAGE.1 PROGRAM
# A program with subcommands (its --help lists "Subcommands:") documents each in a
# ".SS name" block under COMMANDS; its own options go under GLOBAL OPTIONS. Otherwise the
# options go under OPTIONS.
set -euo pipefail
page=$1
program=$2
name=$(basename "$program")
failed=0

# The man page with roff's escaped hyphens as plain ones.
text=$(sed 's/\\-/-/g' "$page")

long_options() { grep -o -- '--[a-z][a-z0-9-]*' | sort -u || true; }

# Lines of the man page between a line matching $1 and the next section or subsection.
man_section() {
  awk -v start="$1" '$0 ~ start { on = 1; next } /^\.S[HS]/ { on = 0 } on' <<<"$text"
}

# compare WHAT HELP_LIST MAN_LIST
compare() {
  local missing extra
  missing=$(comm -23 <(printf '%s\n' "$2" | sed '/^$/d') <(printf '%s\n' "$3" | sed '/^$/d'))
  extra=$(comm -13 <(printf '%s\n' "$2" | sed '/^$/d') <(printf '%s\n' "$3" | sed '/^$/d'))
  if [[ -n $missing ]]; then
    echo "$page: $1: not documented: $(echo $missing)"
    failed=1
  fi
  if [[ -n $extra ]]; then
    echo "$page: $1: documented but not offered by $name: $(echo $extra)"
    failed=1
  fi
}

help=$("$program" --help)
commands=$(awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }' <<<"$help" |
  sort -u)
if [[ -n $commands ]]; then
  global=$(awk '/^Subcommands:/ { exit } { print }' <<<"$help" | long_options)
  compare "global options" "$global" "$(man_section '^\.SH GLOBAL OPTIONS' | long_options)"
  documented=$(awk '/^\.SH COMMANDS/ { on = 1; next } /^\.SH/ { on = 0 } on && /^\.SS / { print $2 }' \
      <<<"$text" | sort -u)
  compare "commands" "$commands" "$documented"
  for command in $commands; do
    offered=$("$program" "$command" --help | awk '/^Options:/ { on = 1 } on' | long_options |
      grep -vx -- '--help' || true)
    described=$(man_section "^\\.SS $command\$" | long_options)
    compare "command $command" "$offered" "$described"
  done
else
  compare "options" "$(long_options <<<"$help")" "$(man_section '^\.SH OPTIONS' | long_options)"
fi
exit $failed
