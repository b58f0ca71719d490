"""The Python module against its golden data, the batch tool's own output: histories to the last
bit, summaries, sweeps, data files, and the settings' names and rules."""
import csv
import io
import os
import subprocess
import warnings
from pathlib import Path

import numpy as np
import pytest

import robosim

ROOT = Path(__file__).resolve().parents[2]
BATCH = Path(robosim.__file__).resolve().parents[2] / "robosim-batch"
EXAMPLES = sorted((ROOT / "examples").glob("*.dat"))
ACCURATE = ["cyl_trap.dat", "teach_gear.dat", "teach_selflock.dat"]


def batch(*args, stderr=False):
    out = subprocess.run([str(BATCH), *map(str, args)], capture_output=True, text=True)
    assert out.returncode in (0, 3, 4), out.stderr
    return (out.stdout, out.stderr) if stderr else out.stdout


def same_bits(a, b):
    """equal as doubles to the last bit, NaN with NaN (its sign is the printer's)"""
    a, b = np.asarray(a, dtype=np.float64), np.asarray(b, dtype=np.float64)
    return a.shape == b.shape and bool(np.all((a.view(np.int64) == b.view(np.int64))
                                              | (np.isnan(a) & np.isnan(b))))


def assert_matches_history(run, text):
    rows = list(csv.reader(io.StringIO(text)))
    assert list(run.columns) == rows[0]
    for i, name in enumerate(rows[0]):
        assert same_bits(getattr(run, name), [float(r[i]) for r in rows[1:]]), name


def assert_matches_summary(figures, text):
    pairs = [line.split(",") for line in text.splitlines()]
    assert list(figures) == [name for name, _ in pairs]
    assert same_bits(list(figures.values()), [float(v) for _, v in pairs])


CASES = [(f.name, {}, [f], False) for f in EXAMPLES]
CASES += [(name, {}, [ROOT / "examples" / name, "--accurate"], True) for name in ACCURATE]
CASES += [
    (None, {"robot": "a", "motion": "p", "zeta1": 0.7, "fn1": 2.0000000000000004},
     ["--robot", "a", "--motion", "p", "--set", "zeta1=0.7", "--set", "fn1=2.0000000000000004"], False),
    ("teach_pd.dat", {"gravity": "h", "cyl__PW1": 150},
     [ROOT / "examples/teach_pd.dat", "--gravity", "h", "--set", "cyl.PW1=150"], False),
]


@pytest.mark.parametrize("example,names,args,accurate", CASES,
                         ids=[f"{c[0]}-{'accurate' if c[3] else 'fixed'}-{len(c[1])}" for c in CASES])
def test_run_equals_the_batch_tool(example, names, args, accurate):
    exp = (robosim.Experiment.read(ROOT / "examples" / example) if example
           else robosim.Experiment()).set(**names)
    run = robosim.run(exp, accurate=accurate)
    assert_matches_history(run, batch(*args))
    assert_matches_summary(run.summary(), batch(*args, "--summary", "--csv"))
    assert_matches_summary(run.summary(band=5),
                           batch(*args, "--summary", "--csv", "--band", "5"))


@pytest.mark.parametrize("names,args,warning", [
    ({"L1": 0.1}, ["--set", "L1=0.1"], robosim.UnreachableWarning),
    ({"cp": 1, "xf": 0.9, "yf": 0.3}, ["--cp", "1", "--set", "xf=0.9", "--set", "yf=0.3"],
     robosim.UnreachableWarning),
    ({"robot": "a", "mw": 1e300}, ["--robot", "a", "--set", "mw=1e300"], robosim.DivergedWarning),
])
def test_a_run_gone_wrong_warns_and_keeps_its_numbers(names, args, warning):
    with pytest.warns(warning) as told:
        run = robosim.run(robosim.Experiment(**names), steps_per_sample=20)
    out, err = batch(*args, "--steps-per-sample", "20", stderr=True)
    assert len(told) == 1 and "robosim-batch: " + str(told[0].message) + "\n" in err
    assert_matches_history(run, out)


def test_sweep_equals_single_runs_and_the_batch_sweep():
    exp = robosim.Experiment(robot="a", motion="p")
    runs = robosim.sweep(exp, jobs=2, fn1=[2, 4.5], gravity=["g", "h"], zeta1=[0.5, 1])
    assert [tuple(r.swept.values()) for r in runs] == [
        (f, g, z) for f in (2, 4.5) for g in "gh" for z in (0.5, 1)]
    for r in runs:
        one = robosim.run(exp.copy().set(**r.swept))
        assert repr(r.experiment) == repr(one.experiment)
        for name in one.columns:
            assert same_bits(getattr(r, name), getattr(one, name)), name
    table = robosim.summary_table(runs)
    text = batch("--robot", "a", "--motion", "p", "--sweep", "fn1=2,4.5", "--sweep",
                 "gravity=g,h", "--sweep", "zeta1=0.5,1", "--summary", "--csv")
    rows = list(csv.reader(io.StringIO(text)))
    assert list(table) == rows[0]
    for i, name in enumerate(rows[0][3:], start=3):
        assert same_bits(table[name], [float(r[i]) for r in rows[1:]]), name


@pytest.mark.parametrize("names,item", [
    ({"nope": 1}, "nope"), ({"mw": -1}, "mw"), ({"fn1": "1e309"}, "fn1"), ({"mw": True}, "mw"),
    ({"circle__tf": 2}, "circle.tf"), ({"robot": "c"}, "robot_type"),
    ({"tf": 2, "motion": "q"}, "tf"), ({"eta_fwd1": 1.5}, "eta_fwd1"),
])
def test_a_wrong_setting_raises_naming_it_and_changes_nothing(names, item):
    exp = robosim.Experiment(gravity="h")
    with pytest.raises(ValueError, match=item.replace(".", r"\.")):
        exp.set(fn2=3, **names)
    assert repr(exp) == "robosim.Experiment(gravity off)"


def test_repr_names_what_the_summary_header_names():
    exp = robosim.Experiment(gravity="h").set(fn1=2, mw=1.5)
    header = batch("--gravity", "h", "--set", "fn1=2", "--set", "mw=1.5", "--summary")
    assert "the defaults, but " + repr(exp)[len("robosim.Experiment("):-1] in header


def test_write_gives_the_batch_tools_data_file(tmp_path):
    exp = robosim.Experiment(robot="a", motion="c", cp=2).set(rr=0.1)
    exp.write(tmp_path / "mine.dat")
    batch("--robot", "a", "--motion", "c", "--cp", "2", "--set", "rr=0.1", "--write-data",
          tmp_path / "theirs.dat")
    assert (tmp_path / "mine.dat").read_bytes() == (tmp_path / "theirs.dat").read_bytes()
    assert repr(robosim.Experiment.read(tmp_path / "mine.dat")) == repr(exp)
    with pytest.raises(ValueError, match="zeta2"):
        exp.set(zeta2=0.7).write(tmp_path / "zeta.dat")
    assert not (tmp_path / "zeta.dat").exists()


@pytest.mark.parametrize("text,error,item", [
    ("b 0.3", ValueError, "scara.L2w"), ("b 0.3 0.4 -2", ValueError, "mw"),
    ("x", ValueError, "robot_type"), (None, FileNotFoundError, "missing"),
], ids=["ended-early", "impossible-value", "off-list", "missing"])
def test_a_bad_data_file_raises(tmp_path, text, error, item):
    path = tmp_path / "missing.dat"
    if text is not None:
        path.write_text(text)
    with pytest.raises(error, match=item):
        robosim.Experiment.read(path)


@pytest.mark.parametrize("steps", [0, 1001])
def test_steps_per_sample_outside_its_range_raises(steps):
    with pytest.raises(ValueError, match="steps_per_sample"):
        robosim.run(robosim.Experiment(), steps_per_sample=steps)


@pytest.mark.parametrize("fn1", [[2], [2, 4]])
def test_plot_draws_each_runs_own_numbers_in_units(fn1):
    runs = robosim.sweep(robosim.Experiment(robot="a", motion="p"), fn1=fn1)
    axes = robosim.plot_runs(runs).get_axes()  # row by row, joint 1 left
    torques = ["drive", "inertia", "coriolis", "gravity", "friction"] if len(runs) == 1 else []
    for j in (1, 2):
        rows = axes[j - 1::2]
        assert [a.get_ylabel()[-5:] for a in rows] == ["(rad)", "(rad)", "(N·m)"]
        drawn = [line.get_ydata() for a in rows for line in a.get_lines()]
        expected = [getattr(r, f"theta{n}_{j}") for r in runs for n in ("", "_ref")]
        expected += [getattr(r, f"theta_err_{j}") for r in runs]
        expected += [getattr(r, f"tau_drive_{j}") for r in runs if not torques]
        expected += [getattr(runs[0], f"tau_{t}_{j}") for t in torques]
        assert len(drawn) == len(expected)
        assert all(same_bits(d, e) for d, e in zip(drawn, expected))
    legend = [t.get_text() for t in axes[1].get_legend().get_texts()]
    assert ("fn1 4 Hz" in legend) == (len(runs) == 2)


def test_the_notebook_runs_and_its_saved_outputs_are_current(tmp_path):
    import nbclient
    import nbformat

    saved = nbformat.read(ROOT / "docs/notebooks/fn_and_zeta.ipynb", as_version=4)
    fresh = nbformat.from_dict(saved)
    env = dict(os.environ, PYTHONPATH=str(Path(robosim.__file__).resolve().parents[1]),
               PYDEVD_DISABLE_FILE_VALIDATION="1")
    nbclient.NotebookClient(fresh, timeout=60, resources={"metadata": {"path": str(tmp_path)}}
                            ).execute(env=env)

    def texts(nb):
        return [o.get("text") or o.get("data", {}).get("text/plain")
                for c in nb.cells for o in c.get("outputs", [])]
    assert texts(fresh) == texts(saved)
