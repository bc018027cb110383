import pytest

import helvocfg


def test_get_gives_values_as_written_and_set_changes_exactly_the_set_key(examples, tmp_path):
    path = examples["recorder-v7.cfg"]
    cfg = helvocfg.load(str(path))
    assert cfg.get("ANALOG_INPUT1-1/H_MAG_T") == "90"
    assert cfg.get("ID/SYSTEM_FREQUENCY") == "60"
    assert cfg.get("WATTS/VARS1-1/V_INDEX") == "0"  # the last slash separates the key

    cfg.set("ANALOG_INPUT1-1/H_MAG_T", "85")
    assert cfg.get("ANALOG_INPUT1-1/H_MAG_T") == "85"
    out = tmp_path / "set.cfg"
    cfg.save(str(out))
    changed = helvocfg.load(str(out))
    assert changed.get("ANALOG_INPUT1-1/H_MAG_T") == "85"
    changes = helvocfg.diff(helvocfg.load(str(path)), changed)
    assert [(c.section, c.key, c.old, c.new) for c in changes] == [("ANALOG_INPUT1-1", "H_MAG_T", "90", "85")]
    assert changes[0].name  # the channel's name
    assert helvocfg.diff(changed, changed) == []


def test_set_after_a_save_at_another_version_changes_the_configuration_of_that_version(examples, tmp_path):
    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    cfg.save(str(tmp_path / "v4.cfg"), 4)
    cfg.set("ANALOG_INPUT1-1/H_MAG_T", "85")
    assert cfg.get("ID/SETTINGS_VERS") == "4"
    assert cfg.get("ANALOG_INPUT1-1/H_MAG_T") == "85"


@pytest.mark.parametrize(
    "selector, error",
    [("NO_SUCH_SECTION/KEY", KeyError), ("ID/NO_SUCH_KEY", KeyError), ("no-slash", KeyError)],
)
def test_unknown_sections_and_keys_raise_key_error(examples, selector, error):
    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    with pytest.raises(error):
        cfg.get(selector)
    with pytest.raises(error):
        cfg.set(selector, "1")


@pytest.mark.parametrize("value", ["abc", "1e99999", "Zürich\u20ac\u0100"])
def test_values_that_do_not_come_back_raise_value_error_and_change_nothing(examples, value):
    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    with pytest.raises(ValueError):
        cfg.set("ANALOG_INPUT1-1/H_MAG_T", value)
    assert cfg.get("ANALOG_INPUT1-1/H_MAG_T") == "90"


def test_texts_round_trip_through_the_files_8_bit_text(examples, tmp_path):
    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    cfg.set("ID/COMMENTS", "München – Umspannwerk €")
    out = tmp_path / "text.cfg"
    cfg.save(str(out))
    assert "München – Umspannwerk €".encode("cp1252") in out.read_bytes()
    assert helvocfg.load(str(out)).get("ID/COMMENTS") == "München – Umspannwerk €"
    with pytest.raises(ValueError):
        cfg.set("ID/COMMENTS", "\u4e2d")


def test_sections_list_headers_names_kinds_and_keys_in_file_order(examples):
    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    sections = cfg.sections()
    assert sections[0].header == "ID" and list(sections[0].keys)[0] == "LOAD_DATE"
    analog = next(s for s in sections if s.header == "ANALOG_INPUT1-1")
    assert analog.kind == "analog" and analog.name
    assert analog.keys["H_MAG_T"] == "90"
    assert sections[-1].header == "END"


def test_lint_finds_nothing_in_the_bundled_files(examples):
    for name, path in examples.items():
        assert helvocfg.load(str(path)).lint() == [], name
