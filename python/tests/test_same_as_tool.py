"""The module reports what the tool reports for the same file."""
import json
import os
import subprocess

import pytest

import helvocfg

TOOL = os.environ.get("HELVOCFG_TOOL")
pytestmark = pytest.mark.skipif(not TOOL, reason="HELVOCFG_TOOL names no built tool")


def tool_json(*args):
    run = subprocess.run([TOOL, *args, "--json"], capture_output=True, check=False)
    return json.loads(run.stdout)


def with_findings(folder, source):
    text = source.read_bytes().replace(b"\r\nINDEX2=5\r\n", b"\r\nINDEX2=9999\r\n", 1)
    path = folder / "findings.cfg"
    path.write_bytes(b"noch" + text[4:])
    return path


def test_to_dict_is_the_document_of_show_json(examples):
    for name, path in examples.items():
        assert helvocfg.load(str(path)).to_dict() == tool_json("show", str(path)), name


def test_lint_gives_the_findings_of_lint_json(examples, tmp_path):
    path = with_findings(tmp_path, examples["recorder-v7.cfg"])
    findings = helvocfg.load(str(path)).lint()
    assert [f.rule for f in findings] == ["dangling-reference"]
    expected = tool_json("lint", str(path))["files"][0]["findings"]
    got = [{"rule": f.rule, "section": f.section, "key": f.key, "line": f.line, "text": f.text} for f in findings]
    assert got == expected


def test_a_set_value_shows_in_the_document_and_lint_sees_the_changed_configuration(examples):
    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    cfg.set("ANALOG_INPUT1-1/H_MAG_T", "85")
    document = cfg.to_dict()
    assert document["schema"] == 2 and document["crc"]["state"] == "valid"
    assert json.dumps(document).count('"H_MAG_T": "85"') == 1
    assert cfg.lint() == []
