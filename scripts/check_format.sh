# Fails when clang-format (with the project's .clang-format) would change a C++ source,
# naming each such file. Sourced by scripts/test before the long build.
kavro_check_format() {
  local root="$1"
  local files=()
  if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git -C "$root" ls-files '*.cpp' '*.h')
  else
    mapfile -t files < <(cd "$root" && find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
  fi
  local unformatted=()
  local f
  for f in "${files[@]}"; do
    if ! clang-format --dry-run -Werror "$root/$f" >/dev/null 2>&1; then
      unformatted+=("$f")
    fi
  done
  if [ ${#unformatted[@]} -ne 0 ]; then
    echo "clang-format would change these files (run clang-format -i on them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    return 1
  fi
}
