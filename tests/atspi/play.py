"""Plays a few moves of a game the way a screen reader does, over the real accessibility bus:
finds the game's buttons and tiles by role and name, starts a game from the menu and presses
tiles through their press action, then checks that the names follow the board.

    play.py PATH/TO/tessra        (run by run.sh inside a private X server and D-Bus session)
"""
import os
import re
import subprocess
import sys
import time

import pyatspi

TILE = re.compile(r"第(\d)行第(\d)列，第(\d+)块")


def wait_for(what, find, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        if found := find():
            return found
        time.sleep(0.1)
    sys.exit(f"FAIL: {what} never appeared")


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "vellumi":
            return app
    return None


def everything(node):
    yield node
    for child in node:
        if child is not None:
            yield from everything(child)


def showing(node):
    states = node.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def press(node):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if "Press" not in names:
        sys.exit(f"FAIL: {node.name} offers no press, only {names}")
    actions.doAction(names.index("Press"))


def tiles(app):
    """The tiles a screen reader is told of: cell -> (piece, node)."""
    board = {}
    for node in everything(app):
        match = TILE.fullmatch(node.name or "")
        if match and showing(node):
            if node.getRole() != pyatspi.ROLE_PUSH_BUTTON:
                sys.exit(f"FAIL: tile {node.name} is a {node.getRoleName()}")
            row, col, piece = map(int, match.groups())
            board[(row - 1) * 3 + col - 1] = (piece, node)
    return board


def launch(path):
    # A display server just started on a busy machine may not take a client at once: the game
    # then ends with status 1 before it has shown anything, and is started again.
    for _ in range(5):
        game = subprocess.Popen([path], env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
        try:
            if game.wait(3) != 1:
                sys.exit(f"FAIL: the game ended with status {game.returncode}")
        except subprocess.TimeoutExpired:
            return game
        time.sleep(1)
    sys.exit("FAIL: the game never reached the display")


def main():
    # The moves and time shown, as a player who asked for them has them.
    config = os.path.join(os.environ["XDG_CONFIG_HOME"], "vellumi")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "vellumi.conf"), "w") as settings:
        settings.write("[board]\nprogress=true\n")
    game = launch(sys.argv[1])
    try:
        app = wait_for("the game on the accessibility bus", application)
        buttons = wait_for("the picture buttons", lambda: {
            n.name: n for n in everything(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name in ("上一张", "下一张", "改变难易度")})
        if len(buttons) != 3:
            sys.exit(f"FAIL: picture buttons {sorted(buttons)}")
        wait_for("the opening fade's end", lambda: buttons["下一张"].getState().contains(pyatspi.STATE_ENABLED))
        if tiles(app):
            sys.exit("FAIL: tiles announced between games")
        start = wait_for("the start-game item", lambda: next(
            (n for n in everything(app) if n.getRole() == pyatspi.ROLE_MENU_ITEM and (n.name or "").startswith("开始游戏")), None))
        start.queryAction().doAction(0)
        board = wait_for("a 3 x 3 board of eight tiles", lambda: (lambda b: b if len(b) == 8 else None)(tiles(app)))
        for move in range(6):
            blank = next(cell for cell in range(9) if cell not in board)
            beside = [c for c in board if abs(c - blank) == 3 or (abs(c - blank) == 1 and c // 3 == blank // 3)]
            cell = beside[move % len(beside)]
            piece = board[cell][0]
            press(board[cell][1])
            after = wait_for("the board after a press", lambda: (lambda b: b if blank in b else None)(tiles(app)), 5)
            if after[blank][0] != piece or cell in after or len(after) != 8:
                sys.exit(f"FAIL: pressing cell {cell} (piece {piece}) next to the gap at {blank} gave {sorted((c, p) for c, (p, _) in after.items())}")
            board = after
        # The count is read as it stands, and not changed under the reader every second.
        progress = wait_for("the moves and time", lambda: next(
            (n for n in everything(app) if (n.name or "").startswith("6 步") and showing(n)), None), 5)
        said = progress.name
        time.sleep(2.2)
        if progress.name != said:
            sys.exit(f"FAIL: the moves and time were renamed from {said} to {progress.name} with no move")
        print(f"PASS: 3 buttons and 8 tiles announced as buttons, 6 moves played by their press action, {said} read")
    finally:
        game.terminate()
        game.wait(10)


main()
