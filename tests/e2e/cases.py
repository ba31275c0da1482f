"""The end-to-end cases, run by run.sh: cases.py <lomvato executable>. Lomvato is driven through the
accessibility bus; drags from pcmanfm are real mouse drags between the places both programs report."""

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
FILES = ("a.txt", "b c.txt")
# The cases that point at controls where the window placed them: they run in every font setup.
LAID_OUT = {"real_drags_and_a_real_run"}


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
            raise TimeoutError(f"no {what} within {timeout:g} s (last: {result!r})")
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


def centre(acc):
    b = box(acc)
    return b.x + b.width // 2, b.y + b.height // 2


def click(acc):
    xdotool("mousemove", *centre(acc), "click", 1)


def answer(app, title, role="alert"):
    box = window(app, role, title)
    shown = [a.name for a in pyatspi.findAllDescendants(box, lambda a: a.getRoleName() == "label")]
    press(box, "OK")
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

    def start(self):
        process = subprocess.Popen(["./lomvato"], cwd=self.dir)
        self.processes.append(process)
        app = application(process)
        return process, app, window(app, "frame", "Lomvato")

    def end(self):
        for p in reversed(self.processes):
            if p.poll() is None:
                p.kill()
                p.wait()


def case_version_and_quit(lv):
    process, app, main = lv.start()
    menu(main, "ヘルプ(H)", "バージョン情報(V)")
    shown = answer(app, "Lomvato", role="dialog")
    assert any(re.fullmatch(r"ﾊﾞｰｼﾞｮﾝ \d+\.\d+\.\d+", s) for s in shown), shown
    menu(main, "ファイル(F)", "終了（Q）")
    assert "アプリケーションを終了します。よろしいですか？" in answer(app, "終了確認"), "the question to quit"
    process.wait(10)


def files_shown(fm, left):
    view = box(find(fm, "layered pane"))
    icons = [i for i in pyatspi.findAllDescendants(fm, lambda a: a.getRoleName() == "icon")
             if view.x <= centre(i)[0] < view.x + view.width and view.y <= centre(i)[1] < view.y + view.height]
    return view.x >= left and len(icons) == len(FILES) and icons


def drag(lv, *keys, times=1):
    """Drags every file from pcmanfm onto the file list, the keys held from the list on, till it shows them."""
    click(lv.icons[0])
    xdotool("keydown", "shift")
    click(lv.icons[-1])
    xdotool("keyup", "shift")
    (x0, y0), (x1, y1) = centre(lv.icons[0]), centre(lv.list)
    xdotool("mousemove", x0, y0, "mousedown", 1)
    for i in range(1, 13):
        xdotool("mousemove", x0 + (x1 - x0) * i // 12, y0 + (y1 - y0) * i // 12, "sleep", 0.03)
    for k in keys:
        xdotool("keydown", k)
    # A few moves more, so that the file manager proposes the action of the keys.
    for i in range(6):
        xdotool("mousemove", x1 + 8 * i, y1, "sleep", 0.1)
    xdotool("sleep", 0.2, "mouseup", 1)
    paths = [str(lv.files / f) for f in FILES] * times
    try:
        # <c5> is the full path. Lomvato reads the keys when it takes the drop, maybe after the button's release.
        wait(f"file list {paths} after a drag with {keys}", lambda: [r[5] for r in rows(lv.list)] == paths, 5, lv.list)
    finally:
        for k in keys:
            xdotool("keyup", k)


def case_real_drags_and_a_real_run(lv):
    # prog.sh records its arguments; the keys decide whether a drop appends; the end of the work is only reported.
    prog = lv.dir / "prog.sh"
    prog.write_text('#!/bin/sh\nfor a in "$@"; do printf "%s\\n" "$a"; done >>"$(dirname "$0")/received.txt"\n')
    prog.chmod(0o755)
    lines = (lv.dir / "default.lvt").read_bytes().split(b"\r\n")
    lines[1] = lines[3] = b"0"
    lines.insert(lines.index(b"/listview2.listitems.Text") + 1, f'<App1>|prog.sh|{prog}|<App1> "<c5>" <c2>'.encode())
    (lv.dir / "default.lvt").write_bytes(b"\r\n".join(lines))
    lv.files = WORK / f"{lv.dir.name}-files"
    lv.files.mkdir()
    for i, f in enumerate(FILES):
        (lv.files / f).write_text(f"{i}\n")
    _, app, main = lv.start()
    lv.processes.append(subprocess.Popen(["pcmanfm", lv.files], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    fm = application(lv.processes[-1])
    window(fm, "frame", lv.files.name)
    # At the right edge of the screen, clear of the file list (there is no window manager to place it).
    width = int(subprocess.check_output(["xdotool", "getdisplaygeometry"]).split()[0])
    xdotool("search", "--onlyvisible", "--name", f"^{lv.files.name}$", "windowsize", 400, 300, "windowmove",
            width - 400, 80)
    lv.icons = wait("pcmanfm's files", lambda: files_shown(fm, width - 400), under=fm)
    lv.list = find(main, "tree", "ファイルリスト")
    # The file manager proposes another action for each set of keys; the files stay where they are.
    drag(lv)
    drag(lv, "shift", times=2)
    drag(lv, "ctrl", "shift")
    drag(lv, "ctrl", times=2)
    # The program's sample into the editor, registered in the batch list, and the batch run.
    click(wait("the program's row", lambda: find(find(main, "tree", "アプリケーション"), "table cell", "prog.sh"),
               under=main))
    press(main, "↓パラメータを編集")
    press(main, "●記述したパラメータをバッチリストに登録")
    wait("the batch row", lambda: rows(find(main, "tree", "バッチリスト")), under=main)
    press(main, "実\u3000\u3000行")
    assert "処理が全て終了しました" in answer(app, "Lomvato"), "the after-work message"
    # <c2> stands without quotes in the sample, so the name with a blank arrives as two arguments.
    one = [f"{lv.files}/a.txt", "a", f"{lv.files}/b c.txt", "b", "c"]
    assert (lv.dir / "received.txt").read_text().splitlines() == one + one, "the arguments received"
    assert all((lv.files / f).is_file() for f in FILES), "a file left its folder"


def main():
    Atspi.set_timeout(*TIMEOUTS)
    # Stopped from outside (a test's time-out), the cases still end what they started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    every = os.environ["E2E_SET"] == "all"
    chosen = os.environ.get("E2E_CASES", "").split() or [
        n[5:] for n in globals() if n.startswith("case_") and (every or n[5:] in LAID_OUT)
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
            shot = Path(os.environ.get("E2E_ARTIFACTS") or tempfile.mkdtemp(prefix="lomvato-e2e-"), f"{name}.png")
            shot.parent.mkdir(parents=True, exist_ok=True)
            subprocess.run(["import", "-window", "root", shot], stderr=subprocess.DEVNULL)
            print(f"case: {name}: FAILED: {type(e).__name__}: {e} (screenshot {shot})", flush=True)
        finally:
            lv.end()
    print(f"e2e: {len(chosen) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
