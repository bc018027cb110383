import os
import pathlib
import shutil

import pytest

# Saves at another version stamp the time; a fixed one makes runs comparable byte for byte.
os.environ["SOURCE_DATE_EPOCH"] = "1765000000"

EXAMPLES = pathlib.Path(os.environ.get("HELVO_EXAMPLES_DIR", pathlib.Path(__file__).parents[2] / "examples"))
BUNDLED = sorted(EXAMPLES.glob("*.cfg"))


@pytest.fixture
def examples(tmp_path):
    """Copies of the bundled settings files in a fresh folder, by file name."""
    copies = {}
    for path in BUNDLED:
        copies[path.name] = tmp_path / path.name
        shutil.copyfile(path, copies[path.name])
    return copies
