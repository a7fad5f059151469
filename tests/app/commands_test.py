#!/usr/bin/python3
"""The commands of the real player, reached as a user reaches them: the
default shortcut keys sent to the focused window with xdotool, the boss key
sent to the whole display, clicks on the picture, the sound heard on the
test sound server. ORVANE_COMMAND_LOG makes the player write the identifier
of every command it runs, one per line, so a test sees each run once."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from x_windows import check, d, failures, root, title, viewable, windows, xdotool

player, clip = sys.argv[1], sys.argv[2]
screen_w, screen_h = d.screen().width_in_pixels, d.screen().height_in_pixels
def player_windows(pid, text=None):
    found = []
    for w in windows(root):
        try:
            p = w.get_full_property(d.intern_atom('_NET_WM_PID'), 0)
            if p and p.value[0] == pid and viewable(w):
                name = title(w)
                if text is None or (name and text in name):
                    found.append(w)
        except Exception:
            pass
    return found


def wait_for(predicate, seconds=5.0):
    end = time.time() + seconds
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return predicate()


def loudness(seconds=0.4):
    """Peak of what the test sound server's sink plays, full scale 1.0."""
    sink = os.environ.get('PULSE_SINK', 'test_null')
    frames = int(seconds * 44100)
    out = subprocess.run(
        f'parec -d {sink}.monitor --raw --format=s16le --channels=2 --rate=44100 '
        f'--latency-msec=20 2>/dev/null | head -c {frames * 4}',
        shell=True, capture_output=True).stdout
    samples = memoryview(out[:len(out) // 2 * 2]).cast('h')
    return max((abs(s) for s in samples), default=0) / 32768.0


def heard(playing, seconds=4.0):
    """Waits until the sink is (or is not) playing sound."""
    end = time.time() + seconds
    while time.time() < end:
        if (loudness() > 0.005) == playing:
            return True
    return False


class Player:
    def __init__(self, extra_env=None, ini_text=None):
        self.program = tempfile.mkdtemp(prefix='orvane-cmd-')
        folder = os.path.join(self.program, 'OrvanePlayer')
        shutil.copytree(os.path.dirname(player), folder, symlinks=True)
        ini = os.path.join(folder, 'Ini', 'Default.ini')
        if os.path.exists(ini):
            os.remove(ini)
        if ini_text is not None:
            with open(ini, 'wb') as f:
                f.write(ini_text.encode('utf-8'))
        self.log = os.path.join(self.program, 'commands.txt')
        env = dict(os.environ, QT_QPA_PLATFORM='xcb', ORVANE_COMMAND_LOG=self.log,
                   **(extra_env or {}))
        self.proc = subprocess.Popen([os.path.join(folder, os.path.basename(player)), clip],
                                     env=env, stderr=subprocess.DEVNULL)
        self.seen = 0
        found = wait_for(lambda: player_windows(self.proc.pid, '奥文播放'), 10)
        self.win = found[0] if found else None

    def focus(self):
        xdotool('windowactivate', '--sync', self.win.id) if os.environ.get('ORVANE_TEST_WM') \
            else xdotool('windowfocus', '--sync', self.win.id)
        time.sleep(0.2)

    def new_commands(self, settle=0.35):
        time.sleep(settle)
        try:
            with open(self.log, encoding='utf-8') as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            lines = []
        fresh, self.seen = lines[self.seen:], len(lines)
        return fresh

    def geometry(self):
        g = self.win.get_geometry()
        t = self.win.translate_coords(root, 0, 0)
        return -t.x, -t.y, g.width, g.height

    def close(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        shutil.rmtree(self.program, ignore_errors=True)


def shortcuts():
    p = Player()
    try:
        if not p.win:
            check(False, 'the player window appears')
            return
        check(heard(True), 'the clip plays')
        p.focus()
        p.new_commands(0)

        # Each key runs its command exactly once; keys in pairs leave the state as it was.
        keys = [
            ('space', 'Play/Pause'), ('space', 'Play/Pause'),
            ('F11', 'SingleFrameStep'), ('Right', 'NextFrame'), ('Left', 'PreviousFrame'),
            ('ctrl+Right', 'Forward'), ('ctrl+Left', 'Backward'),
            ('ctrl+Up', 'AcceleratePlay'), ('ctrl+Down', 'DeceleratePlay'), ('ctrl+r', 'NormalPlay'),
            ('Up', 'HoistVolume'), ('Down', 'DebaseVolume'),
            ('ctrl+m', 'Slience'), ('ctrl+m', 'Slience'),
            ('alt+l', 'LeftTrack'), ('alt+r', 'RightTrack'), ('F10', 'Stereo'),
            ('ctrl+l', 'PlayList'), ('ctrl+l', 'PlayList'),
        ]
        for key, command in keys:
            p.focus()
            xdotool('key', '--clearmodifiers', key)
            got = p.new_commands()
            check(got == [command], f'{key} runs {command} once (ran {got})')

        # Enter and the keypad's Enter both fill the screen and come back.
        for key in ('Return', 'KP_Enter'):
            before = p.geometry()
            p.focus()
            xdotool('key', key)
            full = wait_for(lambda: p.geometry()[2:] == (screen_w, screen_h) and p.geometry(), 4)
            check(bool(full) and p.new_commands() == ['FullScreen'], f'{key} fills the screen ({p.geometry()})')
            p.focus()
            xdotool('key', key)
            back = wait_for(lambda: p.geometry() == before and p.geometry(), 4)
            check(bool(back) and p.new_commands() == ['FullScreen'], f'{key} again returns to {before} ({p.geometry()})')

        # Dialogs open over the window and close with Escape.
        for key, command, caption in (('ctrl+g', 'Goto', None), ('ctrl+alt+p', 'Property', None),
                                      ('ctrl+o', 'OpenFile', None),
                                      ('ctrl+d', 'OpenDvdDirectory', None)):
            windows_before = {w.id for w in player_windows(p.proc.pid)}
            p.focus()
            xdotool('key', '--clearmodifiers', key)
            dialog = wait_for(lambda: [w for w in player_windows(p.proc.pid)
                                       if w.id not in windows_before], 5)
            check(bool(dialog), f'{key} opens a dialog')
            if dialog:
                xdotool('windowfocus', '--sync', dialog[0].id)
                xdotool('key', 'Escape')
                wait_for(lambda: not [w for w in player_windows(p.proc.pid)
                                      if w.id not in windows_before], 5)
            check(p.new_commands(0.5) == [command], f'{key} runs {command} once')

        # F6 captures the playing picture, with no box to answer.
        windows_before = {w.id for w in player_windows(p.proc.pid)}
        p.focus()
        xdotool('key', '--clearmodifiers', 'F6')
        check(p.new_commands(1.5) == ['CaptureScreen'], 'F6 runs CaptureScreen once')
        check(not [w for w in player_windows(p.proc.pid) if w.id not in windows_before],
              'F6 shows no box')

        # Commands whose rooms are not built yet are present but disabled: nothing runs.
        for key in ('ctrl+alt+c', 'ctrl+alt+o'):
            p.focus()
            xdotool('key', '--clearmodifiers', key)
            got = p.new_commands()
            check(got == [], f'{key} runs nothing yet ({got})')

        # Stop silences; Ctrl+R plays the file again.
        p.focus()
        xdotool('key', '--clearmodifiers', 'ctrl+s')
        check(p.new_commands() == ['Stop'] and heard(False), 'ctrl+s stops the sound')
        p.focus()
        xdotool('key', '--clearmodifiers', 'ctrl+r')
        check(p.new_commands() == ['NormalPlay'] and heard(True), 'ctrl+r plays again')

        # The boss key hides the window and pauses; again, it shows and resumes.
        xdotool('key', '--clearmodifiers', 'ctrl+F12')
        hidden = wait_for(lambda: not player_windows(p.proc.pid, '奥文播放'), 4)
        check(hidden and heard(False), 'ctrl+F12 hides the window and pauses')
        xdotool('key', '--clearmodifiers', 'ctrl+F12')
        shown = wait_for(lambda: player_windows(p.proc.pid, '奥文播放'), 4)
        check(bool(shown) and heard(True), 'ctrl+F12 again shows the window and resumes')
        check(p.new_commands() == ['BossKey', 'BossKey'], 'each boss key press runs once')

        # A clip paused before hiding stays paused after showing.
        p.win = shown[0] if shown else p.win
        p.focus()
        xdotool('key', 'space')
        check(heard(False), 'space pauses')
        xdotool('key', '--clearmodifiers', 'ctrl+F12')
        wait_for(lambda: not player_windows(p.proc.pid, '奥文播放'), 4)
        xdotool('key', '--clearmodifiers', 'ctrl+F12')
        shown = wait_for(lambda: player_windows(p.proc.pid, '奥文播放'), 4)
        check(bool(shown) and not heard(True, 1.5), 'a clip paused before hiding stays paused')
        p.win = shown[0] if shown else p.win

        # The first left click after the menu opened does not toggle; the next one does.
        p.focus()
        xdotool('key', 'space')
        check(heard(True), 'space resumes')
        x, y, w, h = p.geometry()
        xdotool('mousemove', x + w // 3, y + h // 2)
        time.sleep(0.2)
        p.new_commands(0)
        xdotool('click', 3)
        time.sleep(0.5)
        xdotool('key', 'Escape')
        time.sleep(0.6)
        xdotool('click', 1)
        check(p.new_commands(0.8) == [], 'the first click after the menu does not toggle')
        xdotool('click', 1)
        check(p.new_commands(0.8) == ['Play/Pause'] and heard(False), 'the next click pauses')
        xdotool('click', 1)
        check(p.new_commands(0.8) == ['Play/Pause'] and heard(True), 'another click plays')
        # A left click that closes the menu is that click: the next one toggles.
        xdotool('click', 3)
        time.sleep(0.5)
        xdotool('click', 1)
        time.sleep(0.6)
        check(p.new_commands(0.5) == [], 'the click that closes the menu does not toggle')
        xdotool('click', 1)
        check(p.new_commands(0.8) == ['Play/Pause'] and heard(False), 'the click after it pauses')

        # The boss key hides an open dialog with the window.
        windows_before = {w.id for w in player_windows(p.proc.pid)}
        p.focus()
        xdotool('key', '--clearmodifiers', 'ctrl+g')
        dialog = wait_for(lambda: [w for w in player_windows(p.proc.pid) if w.id not in windows_before], 5)
        xdotool('key', '--clearmodifiers', 'ctrl+F12')
        gone = wait_for(lambda: not player_windows(p.proc.pid), 4)
        check(bool(dialog) and gone, 'the boss key hides the open dialog too')
        xdotool('key', '--clearmodifiers', 'ctrl+F12')
        check(bool(wait_for(lambda: player_windows(p.proc.pid, '奥文播放'), 4)), 'and shows the window again')
    finally:
        p.close()


def taken_boss_key():
    """Another program holding the boss key: the player starts and runs without it."""
    holder = subprocess.Popen(['/usr/bin/python3', '-c', '''
import sys, time
from Xlib import X, XK, display
d = display.Display()
code = d.keysym_to_keycode(XK.string_to_keysym("F12"))
for extra in (0, X.LockMask, X.Mod2Mask, X.LockMask | X.Mod2Mask):
    d.screen().root.grab_key(code, X.ControlMask | extra, True, X.GrabModeAsync, X.GrabModeAsync)
d.sync()
print("held", flush=True)
time.sleep(60)
'''], stdout=subprocess.PIPE, text=True)
    try:
        check(holder.stdout.readline().strip() == 'held', 'another client holds ctrl+F12')
        p = Player()
        try:
            check(p.win is not None and p.proc.poll() is None, 'the player starts without its boss key')
            xdotool('key', '--clearmodifiers', 'ctrl+F12')
            time.sleep(0.5)
            check(p.proc.poll() is None and player_windows(p.proc.pid, '奥文播放') != [],
                  'the held key neither hides nor stops the player')
        finally:
            p.close()
    finally:
        holder.kill()


def shifted_keys():
    """A stored "Shift+1" matches Shift and the 1 key, which types "!"."""
    p = Player(ini_text='[ShortCut]\r\nPlayList=Shift+1\r\nStereo=Shift+S\r\n')
    try:
        if not p.win:
            check(False, 'the player window appears')
            return
        p.focus()
        p.new_commands(0)
        for key, command in (('shift+1', 'PlayList'), ('shift+1', 'PlayList'), ('shift+s', 'Stereo')):
            p.focus()
            xdotool('key', '--clearmodifiers', key)
            got = p.new_commands()
            check(got == [command], f'{key} runs {command} once (ran {got})')
    finally:
        p.close()


shortcuts()
shifted_keys()
taken_boss_key()
sys.exit(1 if failures else 0)
