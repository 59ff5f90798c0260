#!/usr/bin/env bash
# The other language builds, without a full rebuild: the suite's build folder is reconfigured
# for each language in turn, so that only what depends on the language is built again (the
# sources that read the generated language constants and the programs and tests linking them),
# and the tests that depend on the language run against that language's module. The folder is
# configured back to its own language at the end (its next build relinks what changed).
#   check-languages.sh [BUILD_DIR]        (default build-asan, as test.sh leaves it)
#   QDW_CHECK_LANGUAGES="fr de it ja es"  the languages to check; by default French (the world
#                                         group from the module) and Japanese (code page 932,
#                                         the wider log heading), which cover every difference
#                                         between the builds besides English
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "check-languages: $build is not a configured build folder" >&2
  exit 1
fi
own=$(sed -n 's/^QDW_LANGUAGE:[A-Z]*=//p' "$build/CMakeCache.txt")
own=${own:-en}
languages=${QDW_CHECK_LANGUAGES:-$(echo fr ja | tr ' ' '\n' | grep -vx "$own" | xargs)}
# The test programs whose results depend on the build's language or on Lingvault.dll, and the
# cases among them left to the main suite: the program's backup and restore with every module
# (the same in every build but for the constants that app_language_build_test covers), which
# alone would take minutes per language.
tests=(headless_host_test app_file_dlg_test app_run_sequence_test app_log_dlg_test
       app_startup_test app_world_group_test app_backup_program_test app_language_build_test)
slow='BacksUpAndRestoresWithEveryLanguagesModule|BacksUpAGeneratedInstallationEndToEnd'
available=()
for test in "${tests[@]}"; do
  grep -q "^build bin/$test[ :]" "$build/build.ninja" && available+=("$test")
done

configure() { cmake -S . -B "$build" -DQDW_LANGUAGE="$1" >/dev/null; }
log=$(mktemp)
rebuild() {
  cmake --build "$build" --target "${available[@]}" >"$log" 2>&1 || { cat "$log"; return 1; }
}
put_back() {
  echo "== back to $own"
  configure "$own"
}
trap 'put_back; rm -f "$log"' EXIT

status=0
for language in $languages; do
  start=$SECONDS
  echo "== $language"
  configure "$language"
  rebuild
  # Through ctest, each case in a process of its own, as in the suite: the access-rights
  # library keeps the first stand-in machine of a process for good.
  suites=$(for test in "${available[@]}"; do "$build/bin/$test" --gtest_list_tests; done |
           sed -n 's/^\([A-Za-z0-9_]*\)\.$/\1/p' | sort -u | paste -sd'|')
  if ! (cd "$build" && ctest -j "$(nproc)" -R "^($suites)\." -E "\.($slow)$" \
                                  --output-on-failure >"$log" 2>&1); then
    echo "FAILED in the $language build:"
    grep -A 40 -E '\*\*\*Failed|Failure' "$log" | head -n 80
    status=1
  fi
  grep -E 'tests passed' "$log" || true
  echo "   $language: $((SECONDS - start)) s"
done
exit $status
