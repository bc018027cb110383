#!/usr/bin/env python3
"""Compare the detector thresholds of a folder of recorder settings files with a reference file.

For every file in FOLDER, prints per channel the thresholds (keys ending in _T) whose value differs
from the same channel of REFERENCE. With --frequency HZ, also writes a copy of each file with
SYSTEM_FREQUENCY set to HZ into the folder given by --out (the originals stay as they are).

    PYTHONPATH=build/default/python examples/python/thresholds.py examples/recorder-v7.cfg examples
"""
import argparse
import pathlib
import sys

import helvocfg


def thresholds(cfg):
    """{section header: {key: value}} of the thresholds of every channel and function."""
    found = {}
    for section in cfg.sections():
        keys = {k: v for k, v in section.keys.items() if k.endswith("_T") or k[:-1].endswith("_T")}
        if keys:
            found[section.header] = (section.name, keys)
    return found


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("reference", help="the settings file the others should match")
    parser.add_argument("folder", help="a folder of settings files (*.cfg)")
    parser.add_argument("--frequency", type=int, choices=(50, 60), help="set SYSTEM_FREQUENCY on a copy")
    parser.add_argument("--out", default="with-frequency", help="folder for the copies (default: %(default)s)")
    args = parser.parse_args(argv)

    reference = thresholds(helvocfg.load(args.reference))
    status = 0
    for path in sorted(pathlib.Path(args.folder).glob("*.cfg")):
        try:
            cfg = helvocfg.load(str(path))
        except helvocfg.Error as error:
            print(f"{path}: not loaded: {error}", file=sys.stderr)
            status = 1
            continue
        for header, (name, keys) in thresholds(cfg).items():
            if header not in reference:
                continue
            ref_keys = reference[header][1]
            for key, value in keys.items():
                if key in ref_keys and ref_keys[key] != value:
                    print(f"{path.name}: [{header}] {name}: {key} {value} (reference {ref_keys[key]})")
        if args.frequency:
            out = pathlib.Path(args.out)
            out.mkdir(parents=True, exist_ok=True)
            cfg.set("ID/SYSTEM_FREQUENCY", str(args.frequency))
            cfg.save(str(out / path.name))
    return status


if __name__ == "__main__":
    sys.exit(main())
