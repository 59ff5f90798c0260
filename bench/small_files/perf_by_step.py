#!/usr/bin/env python3
"""Where the processor time of a profiled run goes, step by step.

Splits the samples of `perf record -k CLOCK_MONOTONIC` over a profiled run at the step
beginnings the run wrote to QDW_BENCH_STEP_TIMELINE, and prints for each step the share of
samples in the kernel, in the stand-in machine, in the engine and archive code, and the
symbols that take most samples. Recorded with -g, kernel samples are also told apart by the
system call they serve.

  QDW_BENCH_STEP_TIMELINE=T perf record -g -k CLOCK_MONOTONIC -F 1999 -o P -- \\
      bench_small_files --profiled-restore ...
  perf_by_step.py T P [--top K]
"""
import argparse
import bisect
import collections
import re
import subprocess
import sys

HEADER = re.compile(r'^\s*(\d+\.\d+):\s*(.*)$')
FRAME = re.compile(r'^\s*[0-9a-f]+\s+(.*?)\s+\((.*)\)\s*$')
SYSCALL = re.compile(r'^(?:__x64_sys_|__do_sys_|__se_sys_|ksys_)([a-z_0-9]+)')


def samples(text):
    """(time, leaf symbol, leaf object, system call or None) for each sample."""
    time, frames = None, []

    def finish():
        if time is None or not frames:
            return None
        call = None
        for symbol, _ in frames:
            found = SYSCALL.match(symbol)
            if found:
                call = found.group(1)
                break
        return time, frames[0][0] or '[unknown]', frames[0][1], call

    for line in text.splitlines():
        header = HEADER.match(line)
        if header:
            done = finish()
            if done:
                yield done
            time, frames = float(header.group(1)), []
            frame = FRAME.match(header.group(2))
            if frame:
                frames.append((frame.group(1), frame.group(2)))
            continue
        frame = FRAME.match(line)
        if frame and time is not None:
            frames.append((frame.group(1), frame.group(2)))
    done = finish()
    if done:
        yield done


def kind(symbol, dso):
    if 'kernel' in dso:
        return 'kernel'
    if symbol.startswith('qdw::sim::') or 'nlohmann' in symbol:
        return 'stand-in'
    if dso.endswith('.so.6') or 'libc' in dso or 'libstdc++' in dso:
        return 'libc'
    return 'program'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('timeline')
    parser.add_argument('perf_data')
    parser.add_argument('--top', type=int, default=8)
    args = parser.parse_args()

    starts, names = [], []
    with open(args.timeline) as timeline:
        for line in timeline:
            nanoseconds, name = line.rstrip('\n').split('\t', 1)
            starts.append(int(nanoseconds) / 1e9)
            names.append(name)
    script = subprocess.run(['perf', 'script', '-i', args.perf_data, '-F', 'time,ip,sym,dso'],
                            capture_output=True, text=True, check=True).stdout
    symbols = collections.defaultdict(collections.Counter)
    kinds = collections.defaultdict(collections.Counter)
    calls = collections.defaultdict(collections.Counter)
    for time, symbol, dso, call in samples(script):
        at = bisect.bisect_right(starts, time) - 1
        if at < 0 or names[at] == '(end)':
            continue
        symbols[names[at]][symbol] += 1
        kinds[names[at]][kind(symbol, dso)] += 1
        if 'kernel' in dso:
            calls[names[at]][call or '(no system call)'] += 1
    total = sum(sum(counter.values()) for counter in kinds.values()) or 1
    for name in dict.fromkeys(names):
        count = sum(kinds[name].values())
        if count == 0:
            continue
        split = ', '.join('%s %.0f%%' % (k, 100 * n / count) for k, n in kinds[name].most_common())
        top = ', '.join('%s %.0f%%' % (s, 100 * n / count)
                        for s, n in symbols[name].most_common(args.top))
        print('- %s: %.0f%% of the samples (%s); %s' % (name, 100 * count / total, split, top))
        if calls[name]:
            by_call = ', '.join('%s %.0f%%' % (c, 100 * n / count)
                                for c, n in calls[name].most_common(args.top))
            print('  kernel samples by system call: %s' % by_call)
    return 0


if __name__ == '__main__':
    sys.exit(main())
