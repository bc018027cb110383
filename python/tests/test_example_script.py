import os
import pathlib
import runpy
import sys

import helvocfg

SCRIPT = pathlib.Path(__file__).parents[2] / "examples" / "python" / "thresholds.py"


def test_the_example_reports_changed_thresholds_and_sets_the_frequency_on_copies(examples, tmp_path, capsys):
    fleet = tmp_path / "fleet"
    fleet.mkdir()
    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    cfg.set("ANALOG_INPUT1-1/H_MAG_T", "85")
    cfg.save(str(fleet / "changed.cfg"))
    os.link(examples["recorder-v7.cfg"], fleet / "same.cfg")

    module = runpy.run_path(str(SCRIPT))
    out = tmp_path / "copies"
    status = module["main"]([str(examples["recorder-v7.cfg"]), str(fleet), "--frequency", "50", "--out", str(out)])
    assert status == 0
    lines = capsys.readouterr().out.splitlines()
    assert len(lines) == 1 and lines[0].startswith("changed.cfg: [ANALOG_INPUT1-1]")
    assert lines[0].endswith("H_MAG_T 85 (reference 90)")
    assert helvocfg.load(str(out / "same.cfg")).frequency == 50
    assert helvocfg.load(str(fleet / "same.cfg")).frequency == 60
