#!/usr/bin/env bash
# Builds the tests with a sanitizer, in a build folder of its own, and runs them.
# Usage: scripts/sanitize.sh [address|thread] [ctest arguments...]
#   address  AddressSanitizer and UndefinedBehaviorSanitizer, leaks on; every
#            test program (build/asan). UndefinedBehaviorSanitizer checks the
#            program's code, without its dynamic-type (vptr), null and
#            alignment checks (a null access still fails, as a crash); the
#            tests' own code is built with AddressSanitizer only. Those checks
#            would more than double the build (see the README).
#   thread   ThreadSanitizer; the test programs whose threads are ours
#            (build/tsan).
# Findings inside outside libraries are suppressed by the files in
# scripts/sanitize/, each entry commented with what it hides; any other finding
# fails the test program it happens in.
# CMAKE_BUILD_PARALLEL_LEVEL and CTEST_PARALLEL_LEVEL set the build's and the
# run's parallel jobs (default: one per core).
set -euo pipefail
cd "$(dirname "$0")/.."
kind="${1:-address}"
[ $# -gt 0 ] && shift
supp="$PWD/scripts/sanitize"

case "$kind" in
address)
  dir=build/asan
  flags="-fsanitize=address,undefined -fno-sanitize=vptr,null,alignment -fno-omit-frame-pointer"
  test_code_flags="-fno-sanitize=undefined"
  programs=() # all of them
  export ASAN_OPTIONS="detect_leaks=1:suppressions=$supp/asan.supp"
  export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp"
  ;;
thread)
  dir=build/tsan
  flags="-fsanitize=thread"
  test_code_flags=""
  # tsan_canary races on purpose: it passes when the race is reported.
  programs=(test_platform test_lists test_conversion test_controls test_player test_recording_controls test_widgets
    test_ripper test_cddb test_tts test_burners tsan_canary)
  # QProcess starts its children with clone(CLONE_VM | CLONE_VFORK), and the
  # sanitizer's fork handling, run in such a child, would rewrite the parent's
  # own state: the parent's threads would lose the order their locks give
  # them. The test programs of this build turn such a clone into a fork-like
  # one (tests/sanitize/ForkedChildren.cpp); the sanitizer does not follow a
  # child past its exec: a program a test starts is checked only when it is
  # built with the sanitizer too.
  export TSAN_OPTIONS="second_deadlock_stack=1:suppressions=$supp/tsan.supp:print_suppressions=0"
  ;;
*)
  echo "usage: $0 [address|thread] [ctest arguments...]" >&2
  exit 2
  ;;
esac

# -O1 and line tables only: the sanitizers' advice, and quicker to build.
opt="-O1 -g1 -DNDEBUG"
scripts/configure-tests.sh "$dir" -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$opt" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$opt" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" \
  -DTARVELLO_TEST_CODE_FLAGS="$test_code_flags"

if [ ${#programs[@]} -eq 0 ]; then
  # Every test program, without the benchmarks.
  mapfile -t programs < <(ninja -C "$dir" -t targets all | sed -n 's/^\(test_[a-z_]*\|cd_look\): phony$/\1/p')
fi
cmake --build "$dir" --target "${programs[@]}"

cd "$dir"
filter=()
if [ "$kind" = thread ]; then filter=(-R "^($(IFS='|'; echo "${programs[*]}"))\$"); fi
ctest --output-on-failure -j "${CTEST_PARALLEL_LEVEL:-$(nproc)}" "${filter[@]}" "$@"
