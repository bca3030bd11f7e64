"""What the end-to-end tests share: the program started from a clean folder
under the virtual X server, its log, screenshots, keys and mouse clicks."""
import ctypes
import os
import shutil
import struct
import subprocess
import tempfile
import time
import zlib


def wait_for(predicate, timeout, what):
    """Polls until `predicate()` holds, for `timeout` seconds at most: a busy
    machine makes the test slower, never red. Tests wait for what they expect
    this way, not with a fixed sleep."""
    wait_for_value(predicate, bool, timeout, what, show_last=False)


def wait_for_value(measure, accept, timeout, what, show_last=True):
    """Measures until `accept(value)` holds, for `timeout` seconds at most, and
    returns that value; the failure names what was waited for and the last
    value measured."""
    value = poll(measure, accept, timeout)
    if not accept(value):
        raise AssertionError("timed out waiting for %s%s" % (what, " (last: %r)" % (value,) if show_last else ""))
    return value


def poll(measure, accept, timeout):
    """Measures until `accept(value)` holds or `timeout` seconds have passed,
    and returns the last value, accepted or not, for the caller's assertions
    to judge. Measured once more at the deadline, so a measure slower than the
    deadline is still taken."""
    end = time.time() + timeout
    while True:
        value = measure()
        if accept(value) or time.time() >= end:
            return value
        time.sleep(0.1)


def screenshot(window=None):
    """The whole screen, or what a window holds, as (width, height, rows of (r, g, b) bytes)."""
    where = ["-root"] if window is None else ["-id", str(window)]
    data = subprocess.run(["xwd", *where, "-silent"], check=True, capture_output=True).stdout
    header = struct.unpack(">25I", data[:100])
    header_size, width, height = header[0], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line, ncolors = header[7], header[11], header[12], header[19]
    assert bits_per_pixel in (24, 32), bits_per_pixel
    step = bits_per_pixel // 8
    pixels = data[header_size + ncolors * 12:]
    rows = []
    for y in range(height):
        row = pixels[y * bytes_per_line: y * bytes_per_line + width * step]
        rgb = bytearray()
        for x in range(0, len(row), step):
            if byte_order == 0:
                rgb += bytes((row[x + 2], row[x + 1], row[x]))
            else:
                rgb += bytes((row[x + step - 3], row[x + step - 2], row[x + step - 1]))
        rows.append(bytes(rgb))
    return width, height, rows


def save_png(path, shot, box=None):
    """Writes the screenshot (or the box (x, y, w, h) of it) as a PNG."""
    width, height, rows = shot
    x, y, w, h = box if box else (0, 0, width, height)
    w, h = min(w, width - x), min(h, height - y)
    raw = b"".join(b"\0" + rows[y + i][x * 3:(x + w) * 3] for i in range(h))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def green_pixels(shot=None):
    """Pixels of the screen that are the test patch's green."""
    width, height, rows = shot or screenshot()
    count = 0
    for row in rows:
        for x in range(0, len(row), 3):
            if row[x + 1] > 150 and row[x] < 60 and row[x + 2] < 60:
                count += 1
    return count


def close_window(window_id):
    """Asks the window to close, as a window manager's close button does."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x.XOpenDisplay(None)
    protocols = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    delete = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_char * 128)]

    event = ClientMessage(type=33, window=window_id, message_type=protocols, format=32)
    event.data[0] = delete
    event.data[1] = 0  # CurrentTime
    x.XSendEvent(display, window_id, 0, 0, ctypes.byref(event))
    x.XFlush(display)
    x.XCloseDisplay(display)


def xdotool(*args):
    return subprocess.run(["xdotool", *[str(a) for a in args]], check=True, capture_output=True, text=True).stdout


def click(x, y):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", "1")


def pointer_at(x, y):
    """True when the mouse pointer is at (x, y)."""
    where = dict(line.split("=") for line in xdotool("getmouselocation", "--shell").split())
    return (int(where["X"]), int(where["Y"])) == (x, y)


def shown_windows(pid):
    """The process's visible windows, menus and drop-down lists among them."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], capture_output=True, text=True)
    return {int(w) for w in found.stdout.split()}


def focused(window):
    """True when the keyboard focus is in the window."""
    found = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True)
    return found.returncode == 0 and found.stdout.strip() == str(window)


def wait_focused(window, timeout=30):
    """Waits until keys typed now reach the window."""
    wait_for(lambda: focused(window), timeout, "the keyboard focus in window %d" % window)


class RunningProgram:
    """The program copied into a fresh folder with the given plug-in
    libraries in Plugins/ beside it; `prepare(folder)` runs before it starts.
    `arguments` go on its command line; `environment` changes its
    environment (a value of None removes the variable)."""

    def __init__(self, program, libraries, prepare=None, arguments=(), environment=None):
        self.folder = tempfile.mkdtemp(prefix="lorvan-e2e-")
        shutil.copy(program, os.path.join(self.folder, "lorvan-gpu"))
        os.mkdir(os.path.join(self.folder, "Plugins"))
        for library in libraries:
            shutil.copy(library, os.path.join(self.folder, "Plugins", os.path.basename(library)))
        self.log_path = os.path.join(self.folder, "lorvan-gpu Log.txt")
        open(self.log_path, "w").close()  # the log is written only when it exists
        self.geometry_path = os.path.join(self.folder, "geometry.txt")
        if prepare:
            prepare(self.folder)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", LV_DUMP_GEOMETRY=self.geometry_path)
        for name, value in (environment or {}).items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        self.process = subprocess.Popen([os.path.join(self.folder, "lorvan-gpu"), *arguments], cwd=self.folder,
                                        env=env)
        wait_for(lambda: "Entering main message loop" in self.log_lines(), 60, "the message loop")
        wait_for(lambda: os.path.exists(self.geometry_path) and "\n101\t" in "\n" + open(self.geometry_path).read(),
                 30, "the geometry dump")
        self.dialog = int(xdotool("search", "--name", "^Lorvane GPU").split()[0])

    def log_lines(self):
        with open(self.log_path) as f:
            return [line.rstrip("\n") for line in f]

    def displays_set(self):
        return self.log_lines().count("SetDisplay finished")

    def open_first_recent(self):
        """File, then the first recent file; waits for the display the project sets up."""
        opened = self.displays_set()
        self.menu("alt+f", "1")
        wait_for(lambda: self.displays_set() > opened, 30, "the project to open")

    def double_click_output_area(self):
        """Double-clicks the output area (it floats or docks the preview) and
        waits until the display switch it asks for has started."""
        started = self.log_lines().count("SetDisplay started")
        xdotool("mousemove", "--sync", *centre(self.controls()["-1"][1]))
        for attempt in range(3):
            # A loaded machine may split the two clicks; the double click is tried again.
            xdotool("click", "--repeat", "2", "--delay", "80", "1")
            try:
                wait_for(lambda: self.log_lines().count("SetDisplay started") > started, 3, "a double click")
                return
            except AssertionError:
                if attempt == 2:
                    raise

    def menu(self, *keys):
        """Types the keys into the main dialog's menus: each key but the last
        opens a menu (the menu bar's, the next one along, a submenu), and the
        next key waits for it to show; the last key chooses the command."""
        xdotool("windowfocus", "--sync", self.dialog)
        for key in keys[:-1]:
            before = shown_windows(self.process.pid)
            xdotool("key", key)
            wait_for(lambda: shown_windows(self.process.pid) - before, 30, "the menu opened by " + key)
        xdotool("key", keys[-1])

    def controls(self):
        """Visible controls: {id: (class, (x, y, w, h), text, text width)}."""
        found = {}
        with open(self.geometry_path) as f:
            for line in f:
                name, kind, box, text, needed = line.rstrip("\n").split("\t")
                found[name] = (kind, tuple(int(v) for v in box.split()), text, int(needed))
        return found

    def close(self):
        close_window(self.dialog)
        return self.process.wait(timeout=30)

    def cleanup(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def assert_log_in_order(lines, expected):
    at = 0
    for want in expected:
        while at < len(lines) and lines[at] != want:
            at += 1
        assert at < len(lines), "log line missing or out of order: %r\n%s" % (want, "\n".join(lines))
        at += 1


class WindowManager:
    """openbox on the virtual X server, for what only a window manager does:
    frames, maximise buttons, stacking. Start it before the program."""

    def __init__(self):
        self.process = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        wait_for(self._up, 30, "the window manager")

    def _up(self):
        if self.process.poll() is not None:
            raise AssertionError("openbox exited with %s" % self.process.returncode)
        found = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True)
        return "window id" in found.stdout

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)


def window_property(window, name):
    """The words of a window's (or the root's, for None) property, as xprop prints them; [] when unset."""
    where = ["-root"] if window is None else ["-id", str(window)]
    line = subprocess.run(["xprop", *where, name], capture_output=True, text=True).stdout.strip()
    if "=" not in line and ":" not in line or "not found" in line or "no such atom" in line:
        return []
    values = line.split("=", 1)[1] if "=" in line else line.split(":", 1)[1]
    return [v.strip() for v in values.replace("window id # ", "").split(",") if v.strip()]


def client_geometry(window):
    """(x, y, w, h) of a window's inside on the screen."""
    values = {}
    for line in subprocess.run(["xwininfo", "-id", str(window)], check=True, capture_output=True,
                               text=True).stdout.splitlines():
        if ":" in line:
            key, value = line.split(":", 1)
            values[key.strip()] = value.strip()
    return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]), int(values["Width"]),
            int(values["Height"]))


def screen_size():
    width, height = xdotool("getdisplaygeometry").split()
    return int(width), int(height)


def frame_extents(window):
    """(left, right, top, bottom) of the frame the window manager puts round the window."""
    values = window_property(window, "_NET_FRAME_EXTENTS")
    return tuple(int(v) for v in values) if len(values) == 4 else (0, 0, 0, 0)


def frame_geometry(window):
    """(x, y, w, h) of the window with its frame."""
    x, y, w, h = client_geometry(window)
    left, right, top, bottom = frame_extents(window)
    return x - left, y - top, w + left + right, h + top + bottom


def top_window():
    """The managed window stacked above all others."""
    stacking = window_property(None, "_NET_CLIENT_LIST_STACKING")
    return int(stacking[-1], 16) if stacking else None


def set_maximised(window, maximised):
    """Asks the window manager to maximise or restore, as its title bar buttons do."""
    subprocess.run(["wmctrl", "-i", "-r", hex(window), "-b",
                    ("add" if maximised else "remove") + ",maximized_vert,maximized_horz"], check=True)


def centre(box):
    x, y, w, h = box
    return x + w // 2, y + h // 2


def visible(title):
    """The visible windows whose name matches `title` (a regular expression)."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], capture_output=True, text=True)
    return [int(w) for w in found.stdout.split()]
