"""robosim: the teaching simulator of two-axis robots under linear joint control, from Python.

An experiment is made by name as robosim-batch makes it (its --set names, units and rules), run
with the same engine, and its histories come back as numpy arrays equal to the last bit to the
numbers of the batch tool's CSV::

    import robosim
    exp = robosim.Experiment(robot="a", motion="p").set(fn1=6, zeta1=0.7)
    run = robosim.run(exp)
    print(run.t[-1], run.theta_err_1.max(), run.summary()["overshoot_pct_1"])
    runs = robosim.sweep(exp, fn1=[2, 4, 8], zeta1=[0.5, 1.0])

Units throughout: motor angles in rad, positions in m, torques in N*m at the motor shafts,
inertias in kg*m^2, time in s; settings in the units of a robot data file (frequencies in Hz).
"""

import itertools
import numbers
import os
import warnings

import numpy as np

from . import _robosim

__all__ = [
    "Experiment",
    "Run",
    "run",
    "sweep",
    "summary_table",
    "plot_runs",
    "settings_help",
    "RobosimWarning",
    "UnreachableWarning",
    "DivergedWarning",
]

# short names the keyword arguments take beside the settings' own
_ALIASES = {"robot": "robot_type", "fb": "fb_type"}


class RobosimWarning(RuntimeWarning):
    """A run that was made, but whose numbers are not all numbers; its arrays are kept."""


class UnreachableWarning(RobosimWarning):
    """A point of the motion (its start, its end or a point of its path) lies out of the SCARA
    robot's reach; the run's numbers from there on are not numbers (robosim-batch's status 4)."""


class DivergedWarning(RobosimWarning):
    """The run diverged: some number turned to NaN or infinity, or an accurate run spent its
    step budget on a loop too stiff to follow (robosim-batch's status 3)."""


def settings_help():
    """Every setting Experiment.set takes, one line each: its name, its unit, its meaning and
    the values a physical robot can have (the list robosim-batch --help shows)."""
    return _robosim.settings_help()


def _value_text(name, value):
    """a setting's value as --set takes it: a number in digits that read back to the same
    double, a selector's character as it is"""
    if isinstance(value, str):
        return value
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise ValueError(f"{name}={value!r}: a setting takes a number or a selector's character")
    if isinstance(value, numbers.Integral):
        return str(int(value))
    return float.__repr__(float(value))


def _named(settings, names):
    """(name, text) pairs of a mapping and keyword arguments, the aliases resolved and a
    double underscore read as the dot of a qualified name (scara__PW1 is scara.PW1)"""
    pairs = []
    for name, value in itertools.chain(dict(settings or {}).items(), names.items()):
        name = _ALIASES.get(name, name).replace("__", ".")
        pairs.append((name, _value_text(name, value)))
    return pairs


class Experiment:
    """One experiment: the robot, its mechanics, gravity, the controller and the motion.

    Experiment(**names) is the defaults of robosim-batch (the start-up's answers: the SCARA
    robot on the CP sine path, gravity on, velocity-error feedback) with the settings names
    gives, as Experiment().set(**names) makes them: Experiment(robot="a", motion="p",
    gravity="h", fb="V"). Experiment.read(path) reads a robot data file.

    Settings are named as robosim-batch --set names them, in the data file's units (see
    settings_help()): selectors robot ("a" cylindrical, "b" SCARA), motion ("q" PTP step, "p"
    PTP trapezoid, "c" CP path), cp (1 line, 2 circle, 3 inverted U, 4 sine), gravity ("g" on,
    "h" off), fb ("v" velocity, "V" velocity-error feedback); numbers such as mw (kg), L1 (m),
    PW1 (W), u1 (-), eta_fwd1 (-), fn1 (Hz), alpha1 (1/s), zeta1 (-), tf (s), rr (m).
    """

    def __init__(self, settings=None, **names):
        self._c = _robosim.Experiment()
        self.set(settings, **names)

    @classmethod
    def read(cls, path, **names):
        """The experiment of the robot data file at path (str or os.PathLike), with the settings
        names gives set over it. Raises OSError when the file cannot be opened or read, and
        ValueError naming the item when it is not read to its end or holds a value no robot can
        have or a choice outside its list."""
        exp = cls.__new__(cls)
        exp._c = _robosim.Experiment.read(os.fspath(path))
        return exp.set(**names)

    def set(self, settings=None, **names):
        """Changes the settings named (keyword arguments, or a mapping for qualified names such
        as {"scara.PW1": 200, "circle.tf": 3}) and returns this experiment, so that calls chain.

        The names, units and rules are those of robosim-batch --set: the selectors first (they
        decide which robot and motion record a plain name means), then the others in order; a
        number in the data file's units (fn1 in Hz, L2w in m from joint 2 to the work). A name
        unknown, one the experiment has not (tf of a step command, circle.tf on a sine run) or
        a value no robot can have raises ValueError naming it, and the experiment stays as it
        was."""
        pairs = _named(settings, names)
        if pairs:
            self._c.set(pairs)
        return self

    def copy(self):
        """An independent copy of this experiment."""
        exp = Experiment.__new__(Experiment)
        exp._c = self._c.copy()
        return exp

    __copy__ = copy

    def __deepcopy__(self, memo):
        return self.copy()

    def differences(self, base=None):
        """The settings in which this experiment differs from base (an Experiment; None: the
        defaults), as (name, text) pairs in the table's order, the text as the window's
        caption and the summary's header name them: ("gravity", "gravity off"),
        ("fn1", "fn1 2 Hz"), ..."""
        return list(self._c.differences(None if base is None else base._c))

    def data_text(self):
        """The experiment as the text of a robot data file, as robosim-batch --write-data
        writes it. A data file holds no damping ratio: with zeta1 or zeta2 other than 1.0 it
        raises ValueError rather than give a file that would run another experiment."""
        return self._c.data_text()

    def write(self, path):
        """Writes the experiment to path as a robot data file (robosim-batch --write-data);
        ValueError, and nothing written, for a damping ratio other than 1.0."""
        text = self.data_text()
        with open(path, "w", encoding="ascii") as f:
            f.write(text)

    def __repr__(self):
        diffs = [text for _, text in self._c.differences()]
        return "robosim.Experiment(" + (", ".join(diffs) if diffs else "the defaults") + ")"


class Run:
    """One simulated run of an experiment, sample k = 0 .. 200 (t = k * 0.02 s).

    Attributes, each a numpy array of one value per sample, equal to the last bit to the
    columns of robosim-batch's CSV history:
      k (int64); t (s); theta_1, theta_2 motor angles, theta_ref_1/_2 their commands and
      theta_err_1/_2 the errors (rad); pos_x, pos_y work position, pos_ref_x/_y its command
      and pos_err_x/_y the error (m); tau_drive_1/_2, tau_inertia_1/_2, tau_coriolis_1/_2,
      tau_gravity_1/_2, tau_friction_1/_2 the motor torques (N*m at the motor shafts);
      inertia_seen_1/_2 the inertia each motor sees (kg*m^2).
    columns: the names above in the CSV's order. experiment: the Experiment run (a copy).
    accurate, steps_per_sample: how it was integrated. swept: for a run of sweep(), the swept
    settings and their values. problem: None, or ("unreachable" | "diverged", the line
    robosim-batch writes on standard error).
    """

    def __init__(self, engine, experiment, accurate, steps_per_sample, swept=None):
        self._c = engine
        self.experiment = experiment
        self.accurate = accurate
        self.steps_per_sample = steps_per_sample
        self.swept = dict(swept or {})
        names = []
        for name, values in engine.columns():
            values.flags.writeable = False
            setattr(self, name, values)
            names.append(name)
        self.columns = tuple(names)
        self.problem = engine.problem()

    def summary(self, band=2.0):
        """The response figures of robosim-batch --summary --csv as a dict, the same names in
        the same order and the same values: travel_1 (rad), max_error_during_1 (rad),
        overshoot_pct_1 (% of the travel), settling_time_1 and settling_after_command_1 (s),
        peak_drive_torque_1 (N*m), torque_limit_share_pct_1 (%), inertia_min_1 (kg*m^2),
        wn_at_inertia_min_1 (rad/s), zeta_at_inertia_min_1 (-), ... for joints 1 and 2,
        max_path_error_mm (mm), the joint figures travel_joint_1 ... (deg, or mm for the
        cylindrical robot's joint 2) and for an accurate run accurate_events ... (counts).
        A figure that does not apply is nan.

        band: the band of the settling time after the command, in % of the travel, above 0 and
        at most 100 (robosim-batch --band)."""
        if not 0.0 < band <= 100.0:
            raise ValueError(f"band must be above 0 and at most 100 (%), not {band!r}")
        return {name: float(value) for name, value in self._c.summary(band / 100.0)}

    def plot(self, torques=True):
        """This run drawn as plot_runs([run]) draws it; returns the matplotlib Figure."""
        return plot_runs([self], torques=torques)

    def __repr__(self):
        state = "" if self.problem is None else f", {self.problem[0]}"
        return f"<robosim.Run of {self.experiment!r}{', accurate' if self.accurate else ''}{state}>"


def _warn(runs):
    for r in runs:
        if r.problem is not None:
            kind, text = r.problem
            cls = UnreachableWarning if kind == "unreachable" else DivergedWarning
            warnings.warn(text, cls, stacklevel=3)


def _check_experiment(exp):
    if not isinstance(exp, Experiment):
        raise TypeError(f"an Experiment is due, not {type(exp).__name__}")


def run(experiment, accurate=False, steps_per_sample=10):
    """Simulates the experiment for its 4 s and returns its Run.

    experiment: an Experiment. accurate: the fixed-step Runge-Kutta-Gill integration (False,
    the original method) or the accurate hybrid integration that locates every switching of
    the worm gears and of the torque limits inside its step (True; robosim-batch --accurate).
    steps_per_sample: integration steps per 0.02 s sample, 1 .. 1000 (default 10).

    A point out of the SCARA robot's reach issues an UnreachableWarning, a run whose numbers
    turned to NaN or infinity a DivergedWarning; the run and its arrays are returned all the
    same."""
    _check_experiment(experiment)
    exp = experiment.copy()
    (engine,) = _robosim.run_many([exp._c], bool(accurate), int(steps_per_sample), 1)
    result = Run(engine, exp, bool(accurate), int(steps_per_sample))
    _warn([result])
    return result


def sweep(experiment, accurate=False, steps_per_sample=10, jobs=None, **lists):
    """Runs the experiment once for every combination of the values lists gives, in the order
    of robosim-batch --sweep (the last name changing fastest), on jobs threads at once (default:
    the machine's cores) without the interpreter lock, and returns the runs in that order.

    lists: setting names (as Experiment.set takes them) with a sequence of values each, e.g.
    sweep(exp, fn1=[2, 4, 8], zeta1=[0.5, 1.0]) makes six runs. Every combination is checked
    before anything runs: a wrong name or value raises ValueError. accurate, steps_per_sample:
    as for run(). Each run carries its experiment (run.experiment) and its swept values
    (run.swept); runs that end otherwise than well issue their warnings as run() does."""
    _check_experiment(experiment)
    if jobs is None:
        jobs = os.cpu_count() or 1
    names = list(lists)
    values = []
    for name in names:
        seq = lists[name]
        if isinstance(seq, (str, bytes)) or not hasattr(seq, "__iter__"):
            raise ValueError(f"{name}: sweep takes a sequence of values, not {seq!r}")
        values.append(list(seq))
    experiments = []
    swept = []
    for combination in itertools.product(*values):
        given = dict(zip(names, combination))
        experiments.append(experiment.copy().set(**given))
        swept.append(given)
    engines = _robosim.run_many([e._c for e in experiments], bool(accurate),
                                int(steps_per_sample), int(jobs))
    runs = [Run(engine, exp, bool(accurate), int(steps_per_sample), given)
            for engine, exp, given in zip(engines, experiments, swept)]
    _warn(runs)
    return runs


def summary_table(runs, band=2.0):
    """The rows of robosim-batch --sweep ... --summary --csv: for each run its swept values
    (the columns of run.swept, named as swept) and then every figure of Run.summary(band), one
    column each. A pandas DataFrame when pandas imports, else a dict of numpy arrays (float64
    for numbers, the values as given otherwise)."""
    runs = list(runs)
    columns = {}
    for name in dict.fromkeys(n for r in runs for n in r.swept):
        cells = [r.swept.get(name) for r in runs]
        numeric = all(isinstance(c, numbers.Real) and not isinstance(c, bool) for c in cells)
        columns[name] = np.array(cells, dtype=np.float64 if numeric else object)
    figures = [r.summary(band) for r in runs]
    for name in (figures[0] if figures else {}):
        columns[name] = np.array([f[name] for f in figures], dtype=np.float64)
    try:
        import pandas
    except ImportError:
        return columns
    return pandas.DataFrame(columns)


def _run_label(run, first):
    """a run named by what it differs in from the first (the first by what it differs in from
    the defaults), as the window's legend names pinned runs"""
    if run is first:
        words = [text for _, text in run.experiment.differences()] or ["the defaults"]
        return ", ".join(words + (["accurate"] if run.accurate else []))
    words = [text for _, text in run.experiment.differences(first.experiment)]
    if run.accurate != first.accurate:
        words.append("accurate" if run.accurate else "fixed step")
    return ", ".join(words) or "the same settings"


_TORQUES = [("tau_drive", "drive"), ("tau_inertia", "inertia"), ("tau_coriolis", "Coriolis"),
            ("tau_gravity", "gravity"), ("tau_friction", "friction")]


def plot_runs(runs, torques=True):
    """Draws runs over each other with matplotlib and returns the Figure (no window is opened:
    a notebook shows it, fig.savefig(path) writes it). One column per joint; rows: the motor
    angle theta and its command theta_ref (dotted) in rad, the motor angle error theta_err in
    rad, and with torques the motor torque in N*m against t in s: for one run split into drive,
    inertia, Coriolis, gravity and friction torque, for several the drive torque of each. The
    legend names each run by what it differs in from the first, the title the first by what it
    differs in from the defaults."""
    from matplotlib.figure import Figure

    runs = list(runs)
    if not runs:
        raise ValueError("plot_runs takes at least one run")
    first = runs[0]
    rows = 3 if torques else 2
    fig = Figure(figsize=(11, 3 * rows), layout="constrained")
    axes = fig.subplots(rows, 2, sharex=True, squeeze=False)
    for i, r in enumerate(runs):
        colour, label = f"C{i % 10}", _run_label(r, first)
        for j in (1, 2):
            angle, error = axes[0][j - 1], axes[1][j - 1]
            angle.plot(r.t, getattr(r, f"theta_{j}"), color=colour, label=label)
            angle.plot(r.t, getattr(r, f"theta_ref_{j}"), color=colour, linestyle=":",
                       label="command" if i == 0 else None)
            error.plot(r.t, getattr(r, f"theta_err_{j}"), color=colour, label=label)
            if torques and len(runs) > 1:
                axes[2][j - 1].plot(r.t, getattr(r, f"tau_drive_{j}"), color=colour, label=label)
    if torques and len(runs) == 1:
        for j in (1, 2):
            for k, (name, word) in enumerate(_TORQUES):
                axes[2][j - 1].plot(first.t, getattr(first, f"{name}_{j}"), color=f"C{k}",
                                    label=word)
    units = ["motor angle (rad)", "motor angle error (rad)", "motor torque (N·m)"]
    for j in (1, 2):
        axes[0][j - 1].set_title(f"joint {j}")
        axes[rows - 1][j - 1].set_xlabel("t (s)")
        for row in range(rows):
            axes[row][j - 1].set_ylabel(units[row])
            axes[row][j - 1].grid(True, alpha=0.3)
    axes[0][1].legend(fontsize="small")
    if torques:
        axes[2][1].legend(fontsize="small")
    more = f" and {len(runs) - 1} more" if len(runs) > 1 else ""
    fig.suptitle(f"robosim: {_run_label(first, first)}{more}")
    return fig
