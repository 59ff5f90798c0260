#!/usr/bin/env python3
"""Host system calls of a profiled run, step by step.

Reads a trace written by `strace -f -o TRACE bench_small_files --profiled-...` and splits it
at the marks the step recorder leaves (an access() of "/qdw-bench-step/<name>"). Prints, for
each step, the system calls by name, per file when --files is given; with a trace made with
`strace -T` also the time spent in them (inflated by the tracing, so compare within a trace).

  strace_by_step.py TRACE [--files N] [--top K]
"""
import argparse
import collections
import re
import sys

MARK = re.compile(r'access\("/qdw-bench-step/([^"]*)"')
# "1234 name(" or "1234 <... name resumed>"; with -f every line starts with the thread id.
CALL = re.compile(r'^(?:\[pid\s+)?\d+\]?\s+([a-z_0-9]+)\(')
RESUMED = re.compile(r'<\.\.\. ([a-z_0-9]+) resumed>')
DURATION = re.compile(r'<(\d+\.\d+)>\s*$')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('trace')
    parser.add_argument('--files', type=int, default=0)
    parser.add_argument('--top', type=int, default=12)
    args = parser.parse_args()

    steps = collections.OrderedDict()
    times = collections.defaultdict(collections.Counter)
    current = 'before the first step'
    with open(args.trace, errors='replace') as trace:
        for line in trace:
            mark = MARK.search(line)
            if mark:
                current = mark.group(1).replace('_', ' ')
                continue
            duration = DURATION.search(line)
            call = CALL.match(line)
            resumed = RESUMED.search(line)
            if call is not None and resumed is None:
                steps.setdefault(current, collections.Counter())[call.group(1)] += 1
            name = resumed.group(1) if resumed else (call.group(1) if call else None)
            if name and duration:
                times[current][name] += float(duration.group(1))

    per = args.files if args.files > 0 else 1
    unit = 'per file' if args.files > 0 else 'calls'
    for step, counts in steps.items():
        total = sum(counts.values())
        if args.files > 0 and total / per < 0.05:
            continue
        top = ', '.join('%s %.2f' % (name, count / per) if args.files > 0 else
                        '%s %d' % (name, count) for name, count in counts.most_common(args.top))
        print('- %s: %s %s (%s)' % (step, ('%.1f' % (total / per)) if args.files else total,
                                    unit, top))
        if times[step]:
            spent = sum(times[step].values())
            top = ', '.join('%s %.0f%%' % (name, 100 * seconds / spent)
                            for name, seconds in times[step].most_common(args.top))
            print('  time in system calls %.2f s: %s' % (spent, top))
    return 0


if __name__ == '__main__':
    sys.exit(main())
