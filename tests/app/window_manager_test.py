#!/usr/bin/python3
"""The real player on a real X server, driven with xdotool as a user would:
the main menu opens under its title-bar image, and a double click on the
title bar maximises and restores. Run with and without a window manager."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X

from x_windows import check, d, failures, root, title, viewable, windows, xdotool

player, clip, big = sys.argv[1], sys.argv[2], sys.argv[3]
screen_w, screen_h = d.screen().width_in_pixels, d.screen().height_in_pixels
def player_window():
    for c in windows(root):
        try:
            name = title(c)
            if name and '奥文播放' in name and viewable(c):
                return c
        except Exception:
            pass
    return None


def geometry(w):
    """Where the window really is on the screen, as the X server says."""
    g = w.get_geometry()
    t = w.translate_coords(root, 0, 0)
    return -t.x, -t.y, g.width, g.height


def settle(w, seconds=0.6):
    """Waits until the window has kept one geometry for a while."""
    last, since = None, time.time()
    deadline = time.time() + 8
    while time.time() < deadline:
        d.sync()
        now = geometry(w)
        if now != last:
            last, since = now, time.time()
        elif time.time() - since >= seconds:
            break
        time.sleep(0.05)
    return last


def popup_menus():
    """Mapped override-redirect windows: Qt's popup menus."""
    found = []
    for c in root.query_tree().children:
        try:
            a = c.get_attributes()
            if a.override_redirect and a.map_state == X.IsViewable:
                g = c.get_geometry()
                if g.width > 20 and g.height > 20:
                    found.append((g.x, g.y, g.width, g.height))
        except Exception:
            pass
    return found


def menu_opens_at(button, want):
    """Clicks, then the popup menus whose top-left corner is at `want`."""
    xdotool('click', button)
    menus = []
    for _ in range(40):
        menus = popup_menus()
        if menus:
            break
        time.sleep(0.05)
    xdotool('key', 'Escape')
    time.sleep(0.3)
    return [m for m in menus if abs(m[0] - want[0]) <= 4 and abs(m[1] - want[1]) <= 4], menus


def run_once(round_no):
    program = tempfile.mkdtemp(prefix='orvane-wm-')
    folder = os.path.join(program, 'OrvanePlayer')
    shutil.copytree(os.path.dirname(player), folder, symlinks=True)
    ini = os.path.join(folder, 'Ini', 'Default.ini')
    if os.path.exists(ini):
        os.remove(ini)
    env = dict(os.environ, QT_QPA_PLATFORM='xcb')
    errors = open(os.path.join(program, 'stderr.txt'), 'w+')
    proc = subprocess.Popen([os.path.join(folder, os.path.basename(player)), clip, big], env=env,
                            stderr=errors)
    try:
        win = None
        for _ in range(200):
            win = player_window()
            if win:
                break
            time.sleep(0.05)
        if not win:
            check(False, f'round {round_no}: the player window appears')
            return
        x, y, w, h = settle(win)
        # A slow start shows the empty window's size first; the clip resizes it.
        deadline = time.time() + 8
        while (w, h) == (689, 446) and time.time() < deadline:
            time.sleep(0.1)
            x, y, w, h = settle(win)

        # The whole menu opens with its top-left corner at the menu image's bottom left.
        help_left, help_top, help_w, help_h = w - 78 - 35, 5, 35, 18
        xdotool('mousemove', x + help_left + help_w // 2, y + help_top + help_h // 2)
        time.sleep(0.2)
        want = (x + help_left, y + help_top + help_h)
        near, menus = menu_opens_at(1, want)
        check(bool(near), f'round {round_no}: menu at {want}, found {menus} (window at {x},{y})')

        # A right click on the picture opens the menu at the pointer.
        at = (x + w // 2, y + h // 2)
        xdotool('mousemove', *at)
        time.sleep(0.2)
        near, menus = menu_opens_at(3, at)
        check(bool(near), f'round {round_no}: context menu at {at}, found {menus}')

        # Resizing while the picture plays never stops it.
        for i in range(60):
            xdotool('windowsize', win.id, 500 + (i * 37) % 600, 400 + (i * 53) % 300)
            time.sleep(0.03)
        time.sleep(0.5)
        errors.seek(0)
        stopped = [line for line in errors.read().splitlines() if 'playback stopped' in line]
        check(not stopped, f'round {round_no}: playback goes on through resizes {stopped}')
        xdotool('windowsize', win.id, w, h)
        xdotool('windowmove', win.id, x, y)
        settle(win)

        # A double click on the picture fills the screen; another returns to the same place.
        before = settle(win)
        xdotool('mousemove', before[0] + before[2] // 2, before[1] + before[3] // 2)
        time.sleep(0.2)
        xdotool('click', '--repeat', 2, '--delay', 80, 1)
        full = settle(win)
        check(full == (0, 0, screen_w, screen_h), f'round {round_no}: full screen covers the screen ({full})')
        xdotool('click', '--repeat', 2, '--delay', 80, 1)
        back = settle(win)
        check(back == before, f'round {round_no}: leaving full screen restores {before} (got {back})')

        # A double click on the title bar maximises; a second one restores the same size.
        before = settle(win)
        xdotool('mousemove', before[0] + 300, before[1] + 14)
        time.sleep(0.2)
        xdotool('click', '--repeat', 2, '--delay', 80, 1)
        maxed = settle(win)
        check(maxed[2] == screen_w and maxed[3] >= screen_h - 40,
              f'round {round_no}: double click maximises ({maxed})')
        xdotool('mousemove', maxed[0] + 300, maxed[1] + 14)
        time.sleep(0.2)
        xdotool('click', '--repeat', 2, '--delay', 80, 1)
        restored = settle(win)
        check(restored == before,
              f'round {round_no}: double click restores {before} (got {restored})')

        if os.environ.get('ORVANE_TEST_WM'):
            # Dragging the title bar moves the window with the pointer.
            start = settle(win)
            xdotool('mousemove', start[0] + 300, start[1] + 14)
            xdotool('mousedown', 1)
            for step in range(1, 11):
                xdotool('mousemove', start[0] + 300 - 6 * step, start[1] + 14 + 4 * step)
                time.sleep(0.03)
            xdotool('mouseup', 1)
            moved = settle(win)
            check(abs(moved[0] - (start[0] - 60)) <= 6 and abs(moved[1] - (start[1] + 40)) <= 6,
                  f'round {round_no}: title drag moves {start[:2]} by (-60, 40): {moved[:2]}')
            xdotool('mousemove', moved[0] + 300, moved[1] + 14)
            xdotool('mousedown', 1)
            for step in range(1, 11):
                xdotool('mousemove', moved[0] + 300 + 6 * step, moved[1] + 14 - 4 * step)
                time.sleep(0.03)
            xdotool('mouseup', 1)
            time.sleep(0.2)

        if round_no == 3:
            # The next file, larger than the screen, maximises the window and
            # fits inside it, with or without a window manager.
            settle(win)
            xdotool('windowfocus', '--sync', win.id)
            xdotool('key', 'Next')
            time.sleep(1.5)
            fitted = settle(win)
            check(fitted[2] == screen_w and screen_h - 40 <= fitted[3] <= screen_h and
                  fitted[0] == 0 and fitted[1] >= 0,
                  f'round {round_no}: a 1080p clip next maximises into the screen ({fitted})')

    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
        shutil.rmtree(program, ignore_errors=True)


for n in range(1, 4):
    run_once(n)
sys.exit(1 if failures else 0)
