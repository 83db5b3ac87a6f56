#!/usr/bin/env python3
"""Compares two figure listings of kavro_figures ("case key value" lines).

Usage: compare_figures.py BEFORE AFTER [--rel 1e-9] [--loose 1e-7]

Every figure must agree to --rel (relative, absolute below 1e-300); those that only agree
to --loose are listed as loose (tolerance-driven iterations may move their last digits).
Exit status 1 when a figure is missing or differs by more than --loose.
"""
import argparse
import sys


def read(path):
    figures = {}
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3:
                figures[(parts[0], parts[1])] = float(parts[2])
    return figures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("before")
    ap.add_argument("after")
    ap.add_argument("--rel", type=float, default=1e-9)
    ap.add_argument("--loose", type=float, default=1e-7)
    a = ap.parse_args()
    before, after = read(a.before), read(a.after)
    bad, loose, worst = [], [], {}
    for key, b in before.items():
        if key not in after:
            bad.append((key, b, None, None))
            continue
        v = after[key]
        scale = max(abs(b), abs(v))
        d = 0.0 if b == v else abs(b - v) / scale if scale > 1e-300 else abs(b - v)
        worst[key[0]] = max(worst.get(key[0], 0.0), d)
        if d > a.loose:
            bad.append((key, b, v, d))
        elif d > a.rel:
            loose.append((key, b, v, d))
    for case, d in sorted(worst.items()):
        print(f"{case:16s} largest relative difference {d:.3g}")
    for key, b, v, d in loose:
        print(f"loose  {key[0]} {key[1]}: {b!r} -> {v!r} ({d:.3g})")
    for key, b, v, d in bad:
        print(f"DIFFER {key[0]} {key[1]}: {b!r} -> {v!r}" + (f" ({d:.3g})" if d is not None else " (missing)"))
    print(f"{len(before)} figures, {len(loose)} within {a.loose:g} only, {len(bad)} beyond")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
