import concurrent.futures
import pathlib

import pytest

import helvocfg
from conftest import BUNDLED


def test_every_bundled_file_loads_without_a_message_and_saves_back_unchanged(examples, tmp_path):
    for name, path in examples.items():
        cfg = helvocfg.load(str(path))
        assert cfg.messages == [], name
        assert cfg.frequency in (50, 60)
        assert 1 <= cfg.generation <= 4 and cfg.boards in (1, 2)
        out = tmp_path / ("again-" + name)
        cfg.save(str(out))
        assert helvocfg.load(str(out)).messages == []


def test_header_of_the_two_board_file(examples):
    cfg = helvocfg.load(str(examples["recorder-two-board-v6.cfg"]))
    assert (cfg.version, cfg.generation, cfg.boards) == (6, 2, 2)


def test_scan_lists_what_an_older_version_loses_and_save_at_it_drops_it(examples, tmp_path):
    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    lines = cfg.scan(3)
    assert lines and all(isinstance(line, str) for line in lines)
    assert cfg.scan(7) == []
    cfg.save(str(tmp_path / "v3.cfg"), version=3)
    assert helvocfg.load(str(tmp_path / "v3.cfg")).version == 3


def test_errors_carry_code_and_path(tmp_path, examples):
    missing = str(tmp_path / "missing.cfg")
    with pytest.raises(helvocfg.Error) as raised:
        helvocfg.load(missing)
    assert raised.value.code == 1 and raised.value.path == missing

    damaged = tmp_path / "damaged.cfg"
    data = bytearray(examples["recorder-v7.cfg"].read_bytes())
    data[-20] ^= 1
    damaged.write_bytes(bytes(data))
    with pytest.raises(helvocfg.Error) as raised:
        helvocfg.load(str(damaged))
    assert raised.value.code == 4
    assert helvocfg.load(str(damaged), check_crc=False).version == 7

    cfg = helvocfg.load(str(examples["recorder-v7.cfg"]))
    with pytest.raises(helvocfg.Error) as raised:
        cfg.save(str(tmp_path / "no-such-folder" / "x.cfg"))
    assert raised.value.code == 3 and raised.value.messages


def test_load_messages_are_collected_not_printed(tmp_path, examples, capfd):
    text = examples["recorder.cfg"].read_bytes().replace(b"[ID]\r\n", b"[ID]\r\nNO_SUCH_KEY=1\r\n", 1)
    odd = tmp_path / "odd.cfg"
    odd.write_bytes(text)
    cfg = helvocfg.load(str(odd), check_crc=False)
    assert [m.kind for m in cfg.messages] == ["warning"]
    assert "NO_SUCH_KEY" in cfg.messages[0].text
    assert capfd.readouterr().err == ""


def test_a_file_marked_new_is_not_deleted(tmp_path, examples):
    text = examples["recorder.cfg"].read_bytes().replace(b"[ID]\r\n", b"[ID]\r\nNEWFILE=1\r\n", 1)
    marked = tmp_path / "new.cfg"
    marked.write_bytes(text)
    helvocfg.load(str(marked), check_crc=False)
    assert marked.exists()


def _load_and_save_many(job):
    source, out_dir, rounds = job
    outputs = []
    for i in range(rounds):
        cfg = helvocfg.load(source)
        cfg.scan(3)
        out = out_dir / f"{pathlib.Path(source).stem}-{i}.cfg"
        cfg.save(str(out), version=201 if cfg.version < 201 else None)
        outputs.append(out.read_bytes())
    return outputs


def test_threads_give_the_bytes_of_the_sequential_run(tmp_path, examples):
    sources = [str(examples[p.name]) for p in BUNDLED][:3]
    sources.append(sources[0])  # two threads on the same file
    sequential = []
    for n, source in enumerate(sources):
        folder = tmp_path / f"seq{n}"
        folder.mkdir()
        sequential.append(_load_and_save_many((source, folder, 20)))
    jobs = []
    for n, source in enumerate(sources):
        folder = tmp_path / f"par{n}"
        folder.mkdir()
        jobs.append((source, folder, 20))
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        parallel = list(pool.map(_load_and_save_many, jobs))
    assert parallel == sequential


def test_help_describes_the_module():
    assert "selectors" in helvocfg.__doc__
    for name in ("load", "Config", "Error", "Message"):
        assert getattr(helvocfg, name).__doc__
