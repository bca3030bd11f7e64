#!/usr/bin/env python3
"""The real program under a virtual X server with a window manager
(openbox): while the picture is in the floating preview, the dialog's output
area is plain, as an empty static control, not a picture of earlier frames;
the window manager's maximise (its title bar button) makes a freshly opened
preview a borderless picture over the whole screen, in front of everything,
as a double click does; and restoring, by a double click or by the window
manager, gives back the framed window at exactly its former place and size,
round trip after round trip.

Usage: preview_maximise_test.py <lorvan-gpu> <TestFill.so> <make_test_project> <screenshot.png>
"""
import subprocess
import sys
import time

from program_support import (RunningProgram, WindowManager, centre, click, client_geometry, frame_extents,
                             frame_geometry, save_png, screen_size, screenshot, set_maximised, top_window, wait_for,
                             xdotool)

NOTE = 25  # key Q
TITLE = "^Lorvane GPU Preview$"


def is_green(r, g, b):
    return g > 150 and r < 60 and b < 60


def colours_in(box, shot):
    """{(r, g, b): count} of the pixels in a box of the screenshot."""
    x0, y0, w, h = box
    _, _, rows = shot
    found = {}
    for y in range(y0, y0 + h):
        row = rows[y]
        for x in range(x0, x0 + w):
            pixel = (row[x * 3], row[x * 3 + 1], row[x * 3 + 2])
            found[pixel] = found.get(pixel, 0) + 1
    return found


def green_in(box, shot):
    return sum(n for pixel, n in colours_in(box, shot).items() if is_green(*pixel))


def preview():
    """The preview's window; a new one each time its frame changes, so asked for each time."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", TITLE], capture_output=True, text=True)
    ids = found.stdout.split()
    return int(ids[0]) if len(ids) == 1 else None


def double_click(x, y, happened, what):
    xdotool("mousemove", "--sync", x, y)
    for attempt in range(3):
        # A loaded machine may split the two clicks; the double click is tried again.
        xdotool("click", "--repeat", "2", "--delay", "80", "1")
        try:
            wait_for(happened, 5, what)
            return
        except AssertionError:
            if attempt == 2:
                raise


def main():
    program, library, make_project, artifact = sys.argv[1:5]

    def prepare(folder):
        subprocess.run([make_project, folder, "Test.LVP", str(NOTE)], check=True)

    manager = WindowManager()
    run = RunningProgram(program, [library], prepare)
    try:
        screen_w, screen_h = screen_size()
        displays = run.displays_set
        run.open_first_recent()

        def describe():
            w = preview()
            if w is None:
                return "no single visible preview"
            return "preview at %s with frame %s, top window %s (it is %s)" % (
                client_geometry(w), frame_extents(w), top_window(), w)

        controls = run.controls()
        click(*centre(controls["1106"][1]))  # Use Keyboard
        area = controls["-1"][1]
        inside = (area[0] + 3, area[1] + 3, area[2] - 6, area[3] - 6)
        before = displays()
        double_click(*centre(area), lambda: preview() is not None, "the preview to open")
        wait_for(lambda: displays() > before, 30, "the display to move into the preview")

        # A picture in the preview over the output area, then the preview
        # moved away while it shows: what the area shows is its own. (Read
        # from the window itself: this virtual server's screen does not always
        # show what is drawn into a window that overlaps the dialog.)
        click(*centre(area))
        xdotool("keydown", "q")
        held = lambda: green_in((0, 0, 320, 240), screenshot(preview())) >= 320 * 240 * 9 // 10
        try:
            wait_for(held, 20, "the held note's picture in the preview")
        except AssertionError:
            save_png(artifact, screenshot())
            raise AssertionError("no held note's picture in the preview over the output area: %s" % describe())
        xdotool("windowmove", "--sync", preview(), screen_w - 420, screen_h - 320)
        xdotool("keyup", "q")
        wait_for(lambda: green_in(client_geometry(preview()), screenshot()) == 0, 20, "the note to end")
        # Plain, as an empty static control: its own black, or the dialog's
        # background (just outside the output area's frame).
        _, _, rows = screenshot()
        bx, by = area[0] + area[2] // 2, area[1] - 4
        plain = [(0, 0, 0), tuple(rows[by][bx * 3:bx * 3 + 3])]

        def shows_plain():
            seen = list(colours_in(inside, screenshot()))
            return len(seen) == 1 and seen[0] in plain

        failures = []
        try:
            wait_for(shows_plain, 10, "the output area to show no picture")
        except AssertionError:
            shot = screenshot()
            save_png(artifact, shot)
            failures.append("while the picture floats the output area shows %d colours (%d green pixels), not one "
                            "of %s" % (len(colours_in(inside, shot)), green_in(inside, shot), plain))

        # Where the framed preview is now; every restore must give this back exactly.
        window = preview()
        framed = frame_geometry(window)
        assert frame_extents(window) != (0, 0, 0, 0), "the preview opens with a frame"

        def maximised():
            w = preview()
            return (w is not None and client_geometry(w) == (0, 0, screen_w, screen_h) and
                    frame_extents(w) == (0, 0, 0, 0) and top_window() == w)

        def restored():
            w = preview()
            return w is not None and frame_extents(w) != (0, 0, 0, 0) and frame_geometry(w) == framed

        def framed_now():
            w = preview()
            return w is not None and frame_extents(w) != (0, 0, 0, 0)

        def borderless_now():
            w = preview()
            return w is not None and frame_extents(w) == (0, 0, 0, 0)

        centre_of_screen = (screen_w // 2, screen_h // 2)
        # How each round trip maximises and restores: the window manager (its
        # title bar buttons) or a double click in the picture.
        round_trips = [("window manager", "double click"), ("window manager", "window manager"),
                       ("double click", "double click"), ("window manager", "double click")]
        try:
            for number, (maximise, restore) in enumerate(round_trips, 1):
                if maximise == "window manager":
                    set_maximised(preview(), True)
                else:
                    double_click(*centre(client_geometry(preview())), borderless_now, "the frame to go")
                try:
                    wait_for(maximised, 20, "a borderless picture over the whole screen")
                except AssertionError:
                    raise AssertionError("round trip %d, maximised by the %s: %s" % (number, maximise, describe()))
                if number == 1:
                    # In front of the dialog: the held note's picture is all there is on the screen.
                    click(*centre_of_screen)
                    xdotool("keydown", "q")
                    full = lambda: green_in((0, 0, screen_w, screen_h), screenshot()) >= screen_w * screen_h * 9 // 10
                    try:
                        wait_for(full, 20, "the picture over the whole screen")
                    except AssertionError:
                        save_png(artifact, screenshot())
                        raise AssertionError("the maximised preview's picture does not cover the screen")
                    finally:
                        xdotool("keyup", "q")
                if restore == "window manager":
                    set_maximised(preview(), False)
                else:
                    double_click(*centre_of_screen, framed_now, "the frame to come back")
                try:
                    wait_for(restored, 20, "the former place and size")
                except AssertionError:
                    raise AssertionError("round trip %d, restored by the %s: framed at %s before, now %s" %
                                         (number, restore, framed, describe()))
        except AssertionError as failure:
            failures.append(str(failure))
        if failures:
            raise AssertionError("\n".join(failures))

        code = run.close()
        assert code == 0, "exit code %d" % code
        print("ok: the output area shows no picture while floating; %d maximise and restore round trips "
              "from and back to %s" % (len(round_trips), framed))
    finally:
        run.cleanup()
        manager.stop()


if __name__ == "__main__":
    main()
