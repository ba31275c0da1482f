"""The end-to-end cases, run by run.sh in the world it sets up: cases.py <lomvato executable>.

Lomvato is driven through the accessibility bus (controls found by role and name, pressed through their actions,
read back from there); drags from pcmanfm stay real mouse drags between the places both programs report."""

import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import pyatspi
from gi.repository import Atspi, GLib

EXE = Path(sys.argv[1])
WORK = Path(os.environ["E2E_WORK"])
# Answers within 5 s, also from a program that has just started (whose answers may otherwise take 15 s).
TIMEOUTS = (5000, 0)
# The files pcmanfm shows, in its order.
FILES = ("a.txt", "b c.txt")


class Failed(Exception):
    pass


def check(ok, what):
    if not ok:
        raise Failed(what)


def wait(what, probe, timeout=10.0, under=None):
    """probe()'s first true result within timeout s; the bus's tree under "under" is asked anew each try."""
    end = time.monotonic() + timeout
    while True:
        try:
            if under is not None:
                under.clear_cache()
            result = probe()
        except (GLib.Error, LookupError, AttributeError, TypeError, StopIteration, OSError) as e:
            result = e
        if result and not isinstance(result, Exception):
            return result
        if time.monotonic() > end:
            raise Failed(f"no {what} within {timeout:g} s (last: {result!r})")
        time.sleep(0.1)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def application(process):
    return wait(f"accessible application of {process.args}", lambda: next(
        a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == process.pid))


def showing(acc):
    return acc is not None and acc.getState().contains(pyatspi.STATE_SHOWING)


def window(app, role, title):
    return wait(f'{role} "{title}"', lambda: next(
        w for w in app if w is not None and w.getRoleName() == role and w.name == title and showing(w)), under=app)


def find(root, role, name=None):
    return pyatspi.findDescendant(root, lambda a: a.getRoleName() == role and name in (None, a.name))


def act(acc, action="Press"):
    actions = acc.queryAction()
    actions.doAction([actions.getName(i) for i in range(actions.nActions)].index(action))


def press(root, name):
    def usable():
        button = find(root, "push button", name)
        return showing(button) and button.getState().contains(pyatspi.STATE_ENABLED) and button

    act(wait(f'usable button "{name}"', usable, under=root))


def menu(frame, *path):
    """Triggers the menu bar's item given by the captions from the bar down."""
    item = find(frame, "menu bar")
    for caption in path:
        item = find(item, "menu item", caption)
    # An item that opens a modal dialog answers only once it has closed: the wait for the answer is cut short.
    Atspi.set_timeout(200, 0)
    try:
        act(item)
    except GLib.Error as e:
        if "Did not receive a reply" not in str(e):
            raise
    finally:
        Atspi.set_timeout(*TIMEOUTS)


def rows(table):
    t = table.queryTable()
    return [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]


def box(acc):
    return acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def inside(b, x, y):
    return b.x <= x < b.x + b.width and b.y <= y < b.y + b.height


def centre(acc):
    b = box(acc)
    return b.x + b.width // 2, b.y + b.height // 2


def click(acc, *keys):
    x, y = centre(acc)
    for k in keys:
        xdotool("keydown", k)
    xdotool("mousemove", x, y, "click", 1)
    for k in keys:
        xdotool("keyup", k)


def answer(app, title, button="OK", role="alert"):
    """Answers a message box and gives back the texts it showed."""
    box = window(app, role, title)
    shown = [a.name for a in pyatspi.findAllDescendants(box, lambda a: a.getRoleName() == "label")]
    press(box, button)
    wait(f'the end of "{title}"', lambda: not showing(box), under=box)
    return shown


class Lomvato:
    def __init__(self, name):
        self.dir = WORK / name
        self.dir.mkdir()
        shutil.copy(EXE, self.dir / "lomvato")
        for f in ("default.lvt", "help.html"):
            shutil.copy(EXE.parent / f, self.dir)
        self.processes = []

    def start(self, role="frame", title="Lomvato"):
        """Starts an instance: its process, application and first window."""
        process = subprocess.Popen(["./lomvato"], cwd=self.dir)
        self.processes.append(process)
        app = application(process)
        return process, app, window(app, role, title)

    def end(self):
        for p in reversed(self.processes):
            if p.poll() is None:
                p.kill()
                p.wait()

    def log(self):
        return (self.dir / "log.ini").read_bytes().decode("cp932")


def ended(process, timeout=10):
    with contextlib.suppress(subprocess.TimeoutExpired):
        return process.wait(timeout) is not None
    return False


def laid_out(case):
    """Marks a case whose outcome hangs on the layout, which every font setup and screen size changes: it
    points at controls where the window placed them. The other cases run in one setup only."""
    case.laid_out = True
    return case


def case_one_instance_its_version_and_quit(lv):
    # A second start is refused and ends once the refusal is answered.
    first, app, main = lv.start()
    second, refused, _ = lv.start("alert", "Lomvato")
    check("２重起動できません" in answer(refused, "Lomvato"), "the refusal")
    check(ended(second), "the end of the second")
    menu(main, "ヘルプ(H)", "バージョン情報(V)")
    shown = answer(app, "Lomvato", role="dialog")
    check(any(re.fullmatch(r"ﾊﾞｰｼﾞｮﾝ \d+\.\d+\.\d+", s) for s in shown), f"a version among {shown}")
    menu(main, "ファイル(F)", "終了（Q）")
    check("アプリケーションを終了します。よろしいですか？" in answer(app, "終了確認"), "the question to quit")
    check(ended(first), "the end")


def prepare(lv, program, sample):
    """Starts Lomvato with prog.sh (running `program`, with that sample) in its template, the keys deciding
    whether a drop appends and the end of the work only reported, and pcmanfm beside it showing FILES; drags
    them in."""
    prog = lv.dir / "prog.sh"
    prog.write_text(f"#!/bin/sh\n{program}\n")
    prog.chmod(0o755)
    lines = (lv.dir / "default.lvt").read_bytes().split(b"\r\n")
    lines[1] = lines[3] = b"0"
    apps = lines.index(b"/listview2.listitems.Text") + 1
    lines.insert(apps, f"<App1>|prog.sh|{prog}|{sample}".encode())
    (lv.dir / "default.lvt").write_bytes(b"\r\n".join(lines))
    lv.files = WORK / f"{lv.dir.name}-files"
    lv.files.mkdir()
    for i, f in enumerate(FILES):
        (lv.files / f).write_text(f"{i}\n")
    lv.process, lv.app, lv.main = lv.start()
    lv.processes.append(subprocess.Popen(["pcmanfm", lv.files], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    fm = application(lv.processes[-1])
    window(fm, "frame", lv.files.name)
    # At the right edge of the screen, clear of the file list (there is no window manager to place it).
    width = int(subprocess.check_output(["xdotool", "getdisplaygeometry"]).split()[0])
    xdotool("search", "--onlyvisible", "--name", f"^{lv.files.name}$", "windowsize", 400, 300, "windowmove",
            width - 400, 80)
    lv.icons = wait("pcmanfm's files", lambda: files_shown(fm, width - 400), under=fm)
    lv.list = find(lv.main, "tree", "ファイルリスト")
    drag(lv)


def files_shown(fm, left):
    """pcmanfm's icons, once its view stands right of "left" with one icon per file."""
    view = box(find(fm, "layered pane"))
    icons = [i for i in pyatspi.findAllDescendants(fm, lambda a: a.getRoleName() == "icon")
             if inside(view, *centre(i))]
    return view.x >= left and len(icons) == len(FILES) and icons


def drag(lv, *keys, times=1):
    """Drags every file from pcmanfm onto the file list, the keys held from the list on, till it shows them."""
    click(lv.icons[0])
    click(lv.icons[-1], "shift")
    (x0, y0), (x1, y1) = centre(lv.icons[0]), centre(lv.list)
    xdotool("mousemove", x0, y0, "mousedown", 1)
    for i in range(1, 13):
        xdotool("mousemove", x0 + (x1 - x0) * i // 12, y0 + (y1 - y0) * i // 12, "sleep", 0.03)
    for k in keys:
        xdotool("keydown", k)
    # A few moves more, so that the file manager proposes the action that goes with the keys.
    for i in range(6):
        xdotool("mousemove", x1 + 8 * i, y1, "sleep", 0.1)
    xdotool("sleep", 0.2, "mouseup", 1)
    paths = [str(lv.files / f) for f in FILES] * times
    try:
        # The sixth column, <c5>, holds the full path. The keys stay down until the drop is taken: Lomvato
        # reads them when it handles the drop, which may come after the release of the button.
        wait(f"file list {paths} after a drag with {keys}", lambda: [r[5] for r in rows(lv.list)] == paths, 5, lv.list)
    finally:
        for k in keys:
            xdotool("keyup", k)


def run_batch(lv):
    """Takes the program's sample into the editor, registers it in the batch list and runs the batch."""
    click(wait("the program's row", lambda: find(find(lv.main, "tree", "アプリケーション"), "table cell", "prog.sh"),
               under=lv.main))
    press(lv.main, "↓パラメータを編集")
    press(lv.main, "●記述したパラメータをバッチリストに登録")
    wait("the batch row", lambda: rows(find(lv.main, "tree", "バッチリスト")), under=lv.main)
    press(lv.main, "実\u3000\u3000行")


@laid_out
def case_real_drags_and_a_real_run(lv):
    # The file manager proposes another action for each set of keys; the files stay where they are.
    prepare(lv, 'for a in "$@"; do printf "%s\\n" "$a"; done >>"$(dirname "$0")/received.txt"',
            '<App1> "<c5>" <c2>')
    drag(lv, "shift", times=2)
    drag(lv, "ctrl", "shift")
    drag(lv, "ctrl", times=2)
    run_batch(lv)
    check("処理が全て終了しました" in answer(lv.app, "Lomvato"), "the after-work message")
    shown_log = find(lv.main, "text", "ログ").queryText().getText(0, -1)
    check("全ての送信を終了しました／" in shown_log, "the end of the run in the shown log")
    # <c2> stands without quotes in the sample, so the name with a blank arrives as two arguments.
    one = [f"{lv.files}/a.txt", "a", f"{lv.files}/b c.txt", "b", "c"]
    check((lv.dir / "received.txt").read_text().splitlines() == one + one, "the arguments received")
    lv.process.send_signal(signal.SIGTERM)
    check(ended(lv.process), "the end")
    check(all((lv.files / f).is_file() for f in FILES), "the files still in their folder")
    check("全ての送信を終了しました／" in lv.log(), "the end of the run in the log")


def main():
    Atspi.set_timeout(*TIMEOUTS)
    # Stopped from outside (a test's time-out), the cases still end what they started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    every = os.environ["E2E_SET"] == "all"
    chosen = os.environ.get("E2E_CASES", "").split() or [
        n[5:] for n, case in globals().items() if n.startswith("case_") and (every or hasattr(case, "laid_out"))
    ]
    failed = 0
    for name in chosen:
        begun = time.monotonic()
        lv = Lomvato(name)
        try:
            globals()["case_" + name](lv)
            print(f"case: {name}: passed in {time.monotonic() - begun:.1f} s", flush=True)
        except Exception as e:  # every fault of a case is reported, and the next case runs
            failed += 1
            artifacts = os.environ.get("E2E_ARTIFACTS") or tempfile.mkdtemp(prefix="lomvato-e2e-")
            Path(artifacts).mkdir(parents=True, exist_ok=True)
            shot = Path(artifacts, f"{name}.png")
            subprocess.run(["import", "-window", "root", shot], stderr=subprocess.DEVNULL)
            print(f"case: {name}: FAILED: {type(e).__name__}: {e} (screenshot {shot})", flush=True)
        finally:
            lv.end()
    print(f"e2e: {len(chosen) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
