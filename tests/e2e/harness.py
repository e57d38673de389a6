"""Drives the built Tolvane programs from outside: temporary program folders, virtual displays,
fake time, sound sinks and clip traces. Every process started here is tracked by PID and ended
by PID when the session closes."""

import ctypes
import os
import re
import shutil
import json
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
LINUX_BUILD = Path(os.environ.get("TOLVANE_LINUX_BUILD", SOURCE / "build" / "linux"))
WIN32_BUILD = Path(os.environ.get("TOLVANE_WIN32_BUILD", SOURCE / "build" / "win32"))
TITLE = "Tolvane Ver:3.0.0.0"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
# The release the programs report to the update server, and the next one up.
RELEASE = re.search(r'TOLVANE_VERSION_TEXT "([0-9.]+)"',
                    (SOURCE / "src/about/Version.h").read_text()).group(1)
NEWER_RELEASE = re.sub(r"[0-9]+$", lambda m: str(int(m.group()) + 1), RELEASE)
FAKETIME_LIB = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
WINE_NOISE = ("wine32 is missing", "multiarch needs", "dpkg --add-arch", "apt-get install wine32")

# Whatever session the tests run in, nothing they start may reach its buses, panel, notification
# server, Wayland compositor or sound server: every environment below derives from this one.
# Both buses point at a socket that never exists, so libdbus reports no bus instead of
# autolaunching one through dbus-x11 (which leaves ~/.dbus and a daemon strace -f waits for);
# a test that wants a bus starts its own and passes its address.
_NO_BUS = f"unix:path={tempfile.gettempdir()}/tolvane-tests-no-bus/{os.getpid()}"
for _name in ("WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP",
              "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "AT_SPI_BUS_ADDRESS", "PULSE_SERVER",
              "SESSION_MANAGER", "XAUTHORITY", "DISPLAY"):
    os.environ.pop(_name, None)
os.environ.update(DBUS_SESSION_BUS_ADDRESS=_NO_BUS, DBUS_SYSTEM_BUS_ADDRESS=_NO_BUS,
                  NO_AT_BRIDGE="1")


def wait_until(predicate, timeout, interval=0.05):
    """Polls until predicate() is truthy; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class Session:
    """Temporary folders and child processes of one test."""

    def __init__(self, name="e2e"):
        self.root = Path(tempfile.mkdtemp(prefix=f"tolvane-{name}-"))
        self.processes = []
        self.cleanups = []
        self.network = None  # see private_network()
        self.runtime = self.folder("runtime", mode=0o700)
        self.home = self.folder("home")

    def folder(self, name, mode=0o755):
        path = self.root / name
        path.mkdir(parents=True, exist_ok=True)
        path.chmod(mode)
        return path

    def spawn(self, argv, env=None, cwd=None, stdout=None, stderr=None, stdin=subprocess.DEVNULL,
              pass_fds=()):
        process = subprocess.Popen([str(a) for a in argv], env=env, cwd=cwd, stdout=stdout,
                                   stderr=stderr, stdin=stdin, start_new_session=True,
                                   pass_fds=pass_fds)
        self.processes.append(process)
        return process

    def on_close(self, action):
        self.cleanups.append(action)

    def close(self):
        for action in reversed(self.cleanups):
            try:
                action()
            except Exception:  # cleanup goes on whatever one step did
                pass
        for process in reversed(self.processes):
            stop(process)
        shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def stop(process, grace=3.0):
    """Ends a process we started (and the process group it leads), by PID."""
    if process.poll() is not None:
        return process.returncode
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5.0)):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            pass
        try:
            return process.wait(timeout=wait)
        except subprocess.TimeoutExpired:
            continue
    return process.poll()


def process_named(root, name):
    """The PID of process `root` or of one of its descendants whose command line holds `name`."""
    children = {}
    for entry in os.listdir("/proc"):
        try:
            stat = Path(f"/proc/{entry}/stat").read_text()
            children.setdefault(int(stat.rsplit(")", 1)[1].split()[1]), []).append(int(entry))
        except (OSError, ValueError, IndexError):
            continue
    todo = [root]
    while todo:
        pid = todo.pop()
        try:
            if name.encode() in Path(f"/proc/{pid}/cmdline").read_bytes():
                return pid
        except OSError:
            pass
        todo += children.get(pid, [])
    return None


def is_running(process):
    return process.poll() is None


def snapshot(folder):
    """Names, sizes and modification times of everything under folder."""
    result = {}
    for path in sorted(Path(folder).rglob("*")):
        st = path.lstat()
        result[str(path.relative_to(folder))] = (st.st_size, st.st_mtime_ns)
    return result


# --- displays -------------------------------------------------------------------------------

def start_xvfb(session, size="1024x768x24"):
    """A virtual display of our own; returns its DISPLAY value."""
    read_end, write_end = os.pipe()
    session.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", size, "-nolisten", "tcp",
                   "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                  pass_fds=(write_end,))
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 15
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip():
        raise RuntimeError("Xvfb did not start")
    return ":" + number.decode().strip()


def start_tray_host(session, display):
    """An XEmbed notification area (trayer) docked at the top right of the display."""
    env = dict(os.environ, DISPLAY=display)
    process = session.spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
                             "--width", "200", "--height", "24", "--SetDockType", "true",
                             "--transparent", "false"], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    wait_until(lambda: "trayer" in x_window_tree(display), 10)
    return process


def x_window_tree(display):
    result = subprocess.run(["xwininfo", "-root", "-tree"], env=dict(os.environ, DISPLAY=display),
                            capture_output=True, text=True, timeout=10)
    return result.stdout


def x_tool(display, *argv, timeout=15):
    return subprocess.run([str(a) for a in argv], env=dict(os.environ, DISPLAY=display),
                          capture_output=True, text=True, timeout=timeout)


_TREE_LINE = re.compile(r'^(\s*)(0x[0-9a-f]+) (?:"([^"]*)"|\(has no name\)): \(([^)]*)\)\s+'
                        r'(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)')


def x_windows(display):
    """Every X window as (depth, id, name, class, width, height, x, y) with root coordinates."""
    windows = []
    for line in x_window_tree(display).splitlines():
        match = _TREE_LINE.match(line)
        if match:
            indent, wid, name, klass, w, h, _, _, x, y = match.groups()
            windows.append((len(indent), wid, name or "", klass, int(w), int(h), int(x), int(y)))
    return windows


def tray_icons(display, owner):
    """Icons docked in trayer's panel whose window class mentions `owner`, with geometry."""
    icons = []
    inside_panel = None
    for depth, wid, name, klass, w, h, x, y in x_windows(display):
        if name == "panel" and "trayer" in klass:
            inside_panel, panel = depth, (x, y, x + w, y + h)
            continue
        if inside_panel is not None and depth <= inside_panel:
            inside_panel = None
        # Trayer takes an icon in a moment before it gives it its place, outside the panel.
        placed = inside_panel is not None and panel[0] <= x and x + w <= panel[2] \
            and panel[1] <= y and y + h <= panel[3]
        if placed and owner in klass:
            icons.append((wid, w, h, x, y))
    return icons


def x_is_viewable(display, window_id):
    result = x_tool(display, "xwininfo", "-id", window_id)
    return "IsViewable" in result.stdout


def x_window_named(display, name):
    """The viewable top-level window titled exactly `name`, as (id, width, height, x, y), or
    None. Without a window manager a dialog's X window is its client area."""
    for depth, wid, title, _, w, h, x, y in x_windows(display):
        if depth <= 5 and title == name and x_is_viewable(display, wid):
            return wid, w, h, x, y
    return None


def x_windows_named(display, name):
    return [w for w in x_windows(display) if w[2] == name and x_is_viewable(display, w[1])]


def x_close_box(display, window_id):
    """Asks a window to close as the close box of its title bar does: the window manager's
    WM_DELETE_WINDOW message (no window manager runs on these displays)."""
    import ctypes
    import ctypes.util
    lib = ctypes.CDLL(ctypes.util.find_library("X11"))
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XInternAtom.restype = ctypes.c_ulong
    lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    lib.XFlush.argtypes = [ctypes.c_void_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    connection = lib.XOpenDisplay(display.encode())
    if not connection:
        raise RuntimeError(f"cannot open display {display}")
    try:
        event = Event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = int(window_id, 16)
        event.xclient.message_type = lib.XInternAtom(connection, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = lib.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
        lib.XSendEvent(connection, int(window_id, 16), 0, 0, ctypes.byref(event))
        lib.XFlush(connection)
    finally:
        lib.XCloseDisplay(connection)


def screenshot(display, path):
    x_tool(display, "import", "-window", "root", str(path), timeout=30)
    return path


def pixels_like(image, geometry, colour, tolerance=60):
    """How many pixels inside geometry (w, h, x, y) lie near the RGB colour."""
    w, h, x, y = geometry
    result = subprocess.run(["convert", str(image), "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                             "-depth", "8", "rgb:-"], capture_output=True, timeout=30)
    data = result.stdout
    count = 0
    for i in range(0, len(data) - 2, 3):
        if all(abs(data[i + k] - colour[k]) <= tolerance for k in range(3)):
            count += 1
    return count


# --- sound sinks ----------------------------------------------------------------------------

def alsa_null_home(session):
    """A HOME whose ALSA default device swallows samples instantly."""
    (session.home / ".asoundrc").write_text("pcm.!default { type null }\n")
    return session.home


def sound_after_lead(capture, expected):
    """Whether `capture` holds `expected` bytes of sound after the silence of a scheduled start
    (the device opens about half a second ahead of the moment)."""
    data = capture.read_bytes()
    lead = len(data) - expected
    return 0 <= lead <= 2 * 22050 and not any(data[:lead])


def alsa_capture_home(session, capture):
    """A HOME whose ALSA default device appends every sample written to `capture` (raw bytes)."""
    capture.touch()
    (session.home / ".asoundrc").write_text(
        'pcm.!default { type file slave.pcm "null" file "|cat >> %s" format "raw" }\n' % capture)
    return session.home


class PulseSink:
    """A PulseAudio server with a null sink, paced in real time; records what is played."""

    def __init__(self, session):
        self.session = session
        self.dir = session.folder("pulse", mode=0o700)
        env = dict(os.environ, HOME=str(self.dir), XDG_RUNTIME_DIR=str(self.dir))
        self.socket = self.dir / "native"
        self.server = session.spawn(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
             "--use-pid-file=no", "--system=false", "--log-target=stderr",
             "-L", "module-null-sink sink_name=nullsink",
             "-L", f"module-native-protocol-unix socket={self.socket} auth-anonymous=1",
             "-L", "module-always-sink"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(self.socket.exists, 15):
            raise RuntimeError("PulseAudio did not start")
        self.recorder = None

    def alsa_home(self, session):
        """A HOME whose ALSA default device is this server."""
        server = f'server "unix:{self.socket}"'
        (session.home / ".asoundrc").write_text(
            f"pcm.!default {{ type pulse {server} }}\nctl.!default {{ type pulse {server} }}\n")
        return session.home

    def pipe(self, rate=22050):
        """A sink "pipesink" paced by the system clock, as a sound card is, whose 16-bit mono
        samples land in the file returned."""
        fifo, raw = self.dir / "pipe.fifo", self.session.root / "pipe.raw"
        os.mkfifo(fifo)
        env = dict(os.environ, PULSE_SERVER=f"unix:{self.socket}", HOME=str(self.dir),
                   XDG_RUNTIME_DIR=str(self.dir))
        subprocess.run(["pactl", "load-module", "module-pipe-sink", f"file={fifo}",
                        "sink_name=pipesink", "format=s16le", f"rate={rate}", "channels=1",
                        "use_system_clock_for_timing=yes"], env=env, check=True, timeout=15,
                       stdout=subprocess.DEVNULL)
        with open(raw, "wb") as out:
            self.session.spawn(["cat", str(fifo)], stdout=out)
        return raw

    def record(self, path):
        env = dict(os.environ, PULSE_SERVER=f"unix:{self.socket}", HOME=str(self.dir),
                   XDG_RUNTIME_DIR=str(self.dir))
        # In fragments of 100 ms: by default the server hands a recorder up to 2 s at a time,
        # and what it has not handed over when the recorder stops is lost.
        self.recorder = self.session.spawn(
            ["parecord", "--device=nullsink.monitor", "--file-format=wav", "--rate=22050",
             "--channels=1", "--latency-msec=100", str(path)], env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)

    def stop_recording(self):
        if self.recorder is not None and is_running(self.recorder):
            os.kill(self.recorder.pid, signal.SIGINT)
            try:
                self.recorder.wait(timeout=5)
            except subprocess.TimeoutExpired:
                stop(self.recorder)


def loud_seconds(wav_path, threshold=500, window=0.05):
    """Seconds of a 16-bit mono recording whose RMS in `window` windows exceeds threshold."""
    import array
    import wave
    with wave.open(str(wav_path), "rb") as wav:
        rate = wav.getframerate()
        frames = wav.readframes(wav.getnframes())
    samples = array.array("h", frames[: len(frames) // 2 * 2])
    step = max(1, int(rate * window))
    loud = 0
    for start in range(0, len(samples), step):
        chunk = samples[start:start + step]
        if chunk and (sum(s * s for s in chunk) / len(chunk)) ** 0.5 > threshold:
            loud += 1
    return loud * step / rate


def assert_heard(test, recording, sound_folder, words):
    """The recording holds about as much sound as the clips of `words` last."""
    expected = clip_seconds(sound_folder, words)
    heard = loud_seconds(recording)
    message = f"heard {heard:.2f} s of {expected:.2f} s"
    test.assertGreater(heard, 0.5 * expected, message)
    test.assertLess(heard, 1.5 * expected, message)


def clip_seconds(folder, words):
    import wave
    total = 0.0
    for word in words:
        with wave.open(str(Path(folder) / f"{word}.wav"), "rb") as wav:
            total += wav.getnframes() / wav.getframerate()
    return total


# --- clips ---------------------------------------------------------------------------------

def clip_variant(data, kind):
    """A clip of the voice pack (16-bit mono PCM behind a 44-byte header) rewritten as `kind`:
    a header that lies ("data_size" 0xFFFFFFFE, "zero_channels", "fmt_size" 0xFFFFFFF0,
    "rate_4g" 4 000 000 000 Hz with the byte rate wrapped at 32 bits), the same sound in
    another sample format ("pcm24", "extensible24", "float32", "stereo384k" at 384 kHz), or
    "hours": a 16 MiB file of 8-bit mono silence at 1000 Hz, four and a half hours."""
    import array
    import struct
    if data[12:16] != b"fmt " or data[36:40] != b"data":
        raise ValueError("not a plain voice-pack clip")
    rate = struct.unpack_from("<I", data, 24)[0]
    samples = array.array("h", data[44:44 + struct.unpack_from("<I", data, 40)[0]])
    lies = {"data_size": (40, "<I", 0xFFFFFFFE), "zero_channels": (22, "<H", 0),
            "fmt_size": (16, "<I", 0xFFFFFFF0), "rate_4g": (24, "<II", 4000000000,
                                                            (4000000000 * 2) & 0xFFFFFFFF)}
    if kind in lies:
        out = bytearray(data)
        offset, layout, *values = lies[kind]
        struct.pack_into(layout, out, offset, *values)
        return bytes(out)
    if kind == "hours":
        body, fmt, extra = b"\x80" * ((16 << 20) - 44), struct.pack("<HHIIHH", 1, 1, 1000, 1000, 1, 8), b""
    elif kind == "stereo384k":
        body = b"".join(struct.pack("<hh", s, s) for s in samples)
        fmt, extra = struct.pack("<HHIIHH", 1, 2, 384000, 384000 * 4, 4, 16), b""
    elif kind == "float32":
        body = b"".join(struct.pack("<f", s / 32768) for s in samples)
        fmt = struct.pack("<HHIIHHH", 3, 1, rate, rate * 4, 4, 32, 0)
        extra = b"fact" + struct.pack("<II", 4, len(samples))
    else:
        body = b"".join(struct.pack("<i", s << 8)[:3] for s in samples)
        fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 3, 3, 24)
        extra = b""
        if kind == "extensible24":
            guid = struct.pack("<IHH", 1, 0, 0x10) + bytes.fromhex("800000aa00389b71")
            fmt = struct.pack("<HHIIHHHHI", 0xFFFE, 1, rate, rate * 3, 3, 24, 22, 24, 4) + guid
        elif kind != "pcm24":
            raise ValueError(kind)
    chunks = b"fmt " + struct.pack("<I", len(fmt)) + fmt + extra + b"data" + struct.pack(
        "<I", len(body)) + body + b"\0" * (len(body) % 2)
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def peak_memory_kb(pid):
    """The peak resident memory of a running process (VmHWM), in KiB; None when it is gone."""
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    except (FileNotFoundError, ProcessLookupError):
        pass
    return None


# --- private network -----------------------------------------------------------------------

# What the programs ask for on the maker's hosts, what closing the advert opens, and the
# captions of the advert window and of the update library's offer.
ADVERT_PAGE = "/ad/201072846_1.html"
UPDATE_DESCRIPTION = "/SiteBack/updateTxt/46.txt"
SECOND_PAGE = "https://www.pelmora.example/?Pelmora"
ADVERT_TITLE = "为您推荐"
OFFER_TITLE = "Tolvane 新版本"
SETTINGS_TITLE = "Tolvane设置"
ABOUT_TITLE = "关于 Tolvane"
ADVANCED_TITLE = "高级设置"

# The hosts the programs know by name: the time server and the maker's web hosts.
BUILT_IN_HOSTS = ("time.nist.gov", "www.tolvane.example", "update.tolvane.example",
                  "www.pelmora.example")


def hosts_text(hosts):
    return "127.0.0.1 localhost\n::1 localhost\n" + "".join(f"127.0.0.1 {h}\n" for h in hosts)


class PrivateNetwork:
    """A network and mount namespace of our own: loopback only, with a hosts file that maps the
    programs' built-in host names to 127.0.0.1. Programs and fake servers started through
    `wrap` share it; the machine's network and /etc/hosts stay untouched. Files, X and D-Bus
    sockets under paths stay reachable."""

    def __init__(self, session, hosts=BUILT_IN_HOSTS, name="netns", steps=()):
        """`steps` are shell commands run inside before anything joins (more mounts)."""
        self.session = session
        hosts_file = session.root / f"{name}.hosts"
        hosts_file.write_text(hosts_text(hosts))
        ready = session.root / f"{name}.ready"
        steps = ["ip link set lo up", f'mount --bind "{hosts_file}" /etc/hosts', *steps,
                 f'touch "{ready}"', "exec sleep 86400"]
        self.holder = session.spawn(
            ["unshare", "-n", "-m", "--propagation", "private", "sh", "-c", " && ".join(steps)],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(ready.exists, 10):
            raise RuntimeError("could not make a private network and mount namespace")

    def wrap(self, argv):
        """argv run inside the namespace."""
        return ["nsenter", "-t", str(self.holder.pid), "-n", "-m", "--"] + [str(a) for a in argv]

    def spawn(self, argv, **kwargs):
        return self.session.spawn(self.wrap(argv), **kwargs)

    def run(self, argv, **kwargs):
        return subprocess.run(self.wrap(argv), **kwargs)


def private_network(session):
    """The session's private network, made at first use. Every program the harness starts runs
    inside it, so nothing the programs do on their own (the advert page, the update check)
    ever leaves this machine."""
    if session.network is None:
        session.network = PrivateNetwork(session)
    return session.network


def certificate_authority(session):
    """A self-signed certificate for the built-in hosts: (folder, certificate, key). The folder
    over /etc/ssl/certs makes it the one authority OpenSSL, libcurl, Qt and Wine's crypt32 trust."""
    trusted = session.folder("pki")
    certificate, key = trusted / "ca-certificates.crt", session.root / "server.key"
    names = ",".join(f"DNS:{h}" for h in BUILT_IN_HOSTS)
    # Valid from 2000 for a century, so that the tests under fake time trust it too.
    env = dict(os.environ, LD_PRELOAD=FAKETIME_LIB, FAKETIME="@2000-01-01 00:00:00")
    for step in (["req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes",
                  "-keyout", key, "-out", certificate, "-days", "36500", "-subj", "/CN=Tolvane",
                  "-addext", f"subjectAltName={names}"], ["rehash", trusted]):
        subprocess.run(["openssl", *map(str, step)], env=env, capture_output=True, timeout=30,
                       check=True)
    return trusted, certificate, key


class WebServer:
    """web_server.py on port 443 of the session's private network, speaking HTTPS with our own
    certificate, which the network trusts unless `trusted` is false (until trust()); serves
    `routes` (see its docstring); `requests()` lists what it was asked for, as (host, path), and
    `requests(verb)` its other lines ("DROP", "REFUSED")."""

    def __init__(self, session, routes, trusted=True):
        self.routes_file = session.root / "routes.json"
        self.log = session.root / "web.log"
        self.set_routes(routes)
        self.network = private_network(session)
        self.authority, certificate, key = certificate_authority(session)
        if trusted:
            self.trust()
        self.network.spawn([sys.executable, SOURCE / "tests/e2e/web_server.py", self.routes_file,
                            self.log, 443, certificate, key],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(self.log.exists, 10):
            raise RuntimeError("the web server did not start")

    def trust(self):
        self.network.run(["mount", "--bind", self.authority, "/etc/ssl/certs"], check=True,
                         timeout=10)

    def set_routes(self, routes):
        self.routes_file.write_text(json.dumps(routes, ensure_ascii=False), encoding="utf-8")

    def requests(self, verb="GET"):
        lines = self.log.read_text(encoding="utf-8").splitlines()
        return [tuple(line.split(" ", 2)[1:]) for line in lines if line.startswith(verb + " ")]

    def paths(self):
        return [path for _, path in self.requests()]


def fake_opener(session):
    """A folder holding a fake xdg-open that appends every address it is given to a file.
    Put the folder first on PATH; returns (folder, file)."""
    folder = session.folder("opener")
    record = session.root / "opened.log"
    script = folder / "xdg-open"
    script.write_text(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{record}"\n')
    script.chmod(0o755)
    return folder, record


def opened(record):
    try:
        return Path(record).read_text().splitlines()
    except FileNotFoundError:
        return []


def windows_path(path):
    """A Unix path as Wine's Windows programs see it (drive Z: is the root)."""
    return "Z:" + str(path).replace("/", "\\")

class PrivateMounts(PrivateNetwork):
    """A private network (see PrivateNetwork) with a private /tmp (the session's folder `name`,
    which holds the session itself at its usual path, so every session path still works) and
    the given folders mounted read-only, which binds even root. Programs started through `wrap`
    see them; the machine's /tmp and other tests' files stay untouched."""

    def __init__(self, session, read_only=(), name="tmp"):
        self.tmp = session.folder(name, mode=0o1777)
        (self.tmp / session.root.name).mkdir()
        steps = [f'mount --bind "{session.root}" "{self.tmp / session.root.name}"',
                 f'mount --rbind "{self.tmp}" /tmp']
        for folder in read_only:
            steps += [f'mount --bind "{folder}" "{folder}"',
                      f'mount -o remount,bind,ro "{folder}"']
        super().__init__(session, name=name, steps=steps)


# --- Linux program --------------------------------------------------------------------------

def linux_program(session, value_ini=None, sound=True, name="program", update=False):
    """A temporary program folder holding tolvane (and Sound/ unless told otherwise, and our
    libupdate.so when asked)."""
    folder = session.folder(name)
    shutil.copy2(LINUX_BUILD / "tolvane", folder / "tolvane")
    if update:
        shutil.copy2(LINUX_BUILD / "libupdate.so", folder / "libupdate.so")
    if sound:
        shutil.copytree(LINUX_BUILD / "Sound", folder / "Sound")
    if value_ini is not None:
        (folder / "Value.ini").write_bytes(value_ini.encode() if isinstance(value_ini, str)
                                           else value_ini)
    return folder


def linux_env(session, display=None, home=None, extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "FAKETIME", "LD_PRELOAD"))}
    env.update(HOME=str(home or session.home), XDG_RUNTIME_DIR=str(session.runtime),
               LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8")
    if display is None:
        env["QT_QPA_PLATFORM"] = "offscreen"
        env.pop("DISPLAY", None)
    else:
        env["DISPLAY"] = display
    env.update(extra or {})
    return env


def fake_time_args(start):
    """strace options that start the traced program's clock at `start` (local time)."""
    return ["-E", f"LD_PRELOAD={FAKETIME_LIB}", "-E", f"FAKETIME=@{start}",
            "-E", "FAKETIME_NO_CACHE=1"]


def start_linux(session, program, env, fake_time=None, trace=None, cwd=None, executable=None):
    """Starts tolvane inside the session's private network, optionally under fake time and
    with its file opens traced to `trace`."""
    exe = executable or program / "tolvane"
    net = private_network(session)
    if trace is None and fake_time is None:
        return session.spawn(net.wrap([exe]), env=env, cwd=cwd, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    argv = ["strace", "-f", "-qq", "-ttt", "-e", "trace=openat", "-o", trace or os.devnull]
    if fake_time:
        argv += fake_time_args(fake_time)
    return session.spawn(net.wrap(argv + [exe]), env=env, cwd=cwd, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)


_OPENAT = re.compile(r'^\d+\s+(\d+\.\d+)\s+openat\(.*?"((?:[^"\\]|\\.)*)/Sound/((?:[^"\\]|\\.)*)\.wav"'
                     r'(?:[^=<]*=\s*(-?\d+))?')


def _unescape_strace(text):
    return text.encode("latin-1").decode("unicode_escape").encode("latin-1").decode("utf-8", "replace")


def strace_clips(log, with_times=False, found_only=False):
    """The clips a traced program opened, in order (word, and optionally the open time)."""
    clips = []
    try:
        lines = Path(log).read_text(encoding="latin-1").splitlines()
    except FileNotFoundError:
        return clips
    pending = {}  # opens another thread's call interrupted: they end on a "resumed" line
    for line in lines:
        if line.endswith("<unfinished ...>"):
            pending[line.split()[0]] = line[: -len("<unfinished ...>")]
            continue
        if "resumed>" in line:
            line = pending.pop(line.split()[0], "") + line.partition("resumed>")[2]
        match = _OPENAT.match(line)
        if not match:
            continue
        if found_only and match.group(4) is not None and int(match.group(4)) < 0:
            continue
        word = _unescape_strace(match.group(3))
        clips.append((word, float(match.group(1))) if with_times else word)
    return clips


class OpenedClips:
    """The clips opened in a sound folder, in order, as the kernel reports them (inotify): no
    tracer slows the program that opens them."""

    def __init__(self, session, folder):
        libc = ctypes.CDLL(None, use_errno=True)
        self.fd = libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self.fd < 0 or libc.inotify_add_watch(self.fd, os.fsencode(folder), 0x20) < 0:  # IN_OPEN
            raise OSError(ctypes.get_errno(), f"cannot watch {folder}")
        session.on_close(lambda: os.close(self.fd))
        self.words = []

    def __call__(self):
        while True:
            try:
                events = os.read(self.fd, 1 << 16)
            except BlockingIOError:
                return list(self.words)
            while events:
                length = struct.unpack_from("iIII", events)[3]
                name = os.fsdecode(events[16:16 + length].rstrip(b"\0"))
                events = events[16 + length:]
                if name.endswith(".wav"):
                    self.words.append(name[:-4])


class TrayDriver:
    """Clicks on tolvane's tray icon and picks menu entries; for a test case with a session and
    self.display, on a display with a tray host."""

    def icon(self, timeout=10):
        icons = wait_until(lambda: tray_icons(self.display, "tolvane"), timeout)
        self.assertTrue(icons, "no tray icon docked")
        _, w, h, x, y = icons[0]
        return w, h, x, y

    def click_icon(self, button):
        w, h, x, y = self.icon()
        x_tool(self.display, "xdotool", "mousemove", x + w // 2, y + h // 2, "click", button)

    def popups(self):
        """The open menu, told from the program's other windows by its title and shape."""
        others = (ADVERT_TITLE, OFFER_TITLE, SETTINGS_TITLE, ABOUT_TITLE, ADVANCED_TITLE)
        return [win for win in x_windows(self.display)
                if "tolvane" in win[3] and win[4] > 60 and win[5] > 100
                and win[2] not in others and x_is_viewable(self.display, win[1])]

    def open_menu(self):
        # A click that lands while the last menu is still closing is swallowed by it.
        wait_until(lambda: not self.popups(), 5)
        time.sleep(0.3)
        self.click_icon(3)
        menus = wait_until(self.popups, 5)
        self.assertTrue(menus, "no menu popped up")
        return menus[0]

    def choose(self, access_key):
        """Picks the entry with this access key ("p 1": a submenu's, then its entry's)."""
        self.open_menu()
        x_tool(self.display, "xdotool", "key", "--delay", "300", *access_key.split())

    # The menu of tolvane's icon opens from a real click only.
    choose_by_click = choose


# --- Windows program under Wine -------------------------------------------------------------

class Wine:
    """A private copy of the prefix template, its wineserver ended with the session."""

    def __init__(self, session, display=None, home=None, network=None):
        template = WIN32_BUILD / "wine-template"
        subprocess.run([SOURCE / "tests/e2e/wine/make-prefix", template], check=True, timeout=600)
        self.session = session
        # Wine's sockets live in the wineserver: it must start inside the private network, so
        # every Wine command of this prefix runs there.
        self.network = network or private_network(session)
        self.prefix = session.root / "prefix"
        subprocess.run(["cp", "-a", str(template), str(self.prefix)], check=True, timeout=120)
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("FAKETIME", "LD_PRELOAD", "WINE"))}
        self.env.update(WINEPREFIX=str(self.prefix), WINEDEBUG="-all", NO_FAKE_STAT="1",
                        LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8",
                        HOME=str(home or session.home), XDG_RUNTIME_DIR=str(session.runtime))
        if display:
            self.env["DISPLAY"] = display
        else:
            self.env.pop("DISPLAY", None)
        session.on_close(self.kill_server)

    def command(self, argv):
        argv = [str(a) for a in argv]
        return self.network.wrap(argv) if self.network else argv

    def kill_server(self):
        subprocess.run(self.command(["wineserver", "-k"]), env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, argv, timeout=60, extra=None):
        # No pipes: a wineserver started by this call would inherit them and hold them open.
        env = dict(self.env, **(extra or {}))
        return subprocess.run(self.command(["wine"] + list(argv)), env=env, timeout=timeout,
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)

    def set_fake_time(self, start):
        """Every Wine process from now on, the wineserver included, sees the clock as if it had
        stood at `start` ("YYYY-mm-dd HH:MM:SS", local time) a moment ago. The offset is the
        same for all of them, so the server and its clients agree on every timeout."""
        self.kill_server()
        for key in ("LD_PRELOAD", "FAKETIME"):
            self.env.pop(key, None)
        if start:
            target = time.mktime(time.strptime(start, "%Y-%m-%d %H:%M:%S"))
            self.env.update(LD_PRELOAD=FAKETIME_LIB, FAKETIME=f"{target - time.time():+.3f}")

    def spawn(self, argv, extra=None, log=None, cwd=None):
        env = dict(self.env, **(extra or {}))
        out = open(log, "wb") if log else subprocess.DEVNULL
        try:
            return self.session.spawn(self.command(["wine"] + list(argv)), env=env, stdout=out,
                                      stderr=subprocess.STDOUT, cwd=cwd)
        finally:
            if log:
                out.close()

    def helper(self, name):
        return WIN32_BUILD / "tests" / "e2e" / f"{name}.exe"

    def find_window(self, title=TITLE, wait=0, gone=False):
        argv = [self.helper("find_window"), title]
        if wait:
            argv += ["--wait", str(wait)]
        if gone:
            argv.append("--gone")
        return self.run(argv, timeout=wait + 30).returncode == 0

    def start_tolvane(self, program, log, fake_time=None, cwd=None, extra=None):
        """Starts program/Tolvane.exe, its output (Wine's file trace unless `extra` sets
        WINEDEBUG) in `log`, and waits for its main window; None when none appeared."""
        if fake_time:
            self.set_fake_time(fake_time)
        process = self.spawn([program / "Tolvane.exe"], log=log, cwd=cwd,
                             extra=dict({"WINEDEBUG": "-all,+file"}, **(extra or {})))
        return process if self.find_window(wait=20) else None

    def post_tray(self, *what):
        """A mouse message ("left", "right", "middle") on the tray icon, or with "menu" a wait
        for the popup menu, "closed" for its end, "char", C a key posted to it; True when it
        worked."""
        return self.run([self.helper("post_tray"), *what], timeout=30).returncode == 0

    def choose(self, access_key, open_menu=None):
        """Opens the tray menu, by a posted tray message or by calling `open_menu` (a real click
        on the docked icon), and picks the entry with this access key ("p 1": a submenu's, then
        its entry's); False without a menu or when the menu never took the key, saying which on
        stderr."""
        opened = open_menu() if open_menu else self.post_tray("right")
        rect = self.session.root / "menu-rect.txt"
        rect.unlink(missing_ok=True)
        shown = opened and self.run([self.helper("post_tray"), "menu", rect],
                                    timeout=30).returncode == 0
        if not shown:
            print("the tray menu did not open" if opened else "no tray message could be posted",
                  file=sys.stderr, flush=True)
            return False
        # Without a window manager the keyboard goes to the window under the pointer: point at
        # the menu. A key pressed before its window is mapped is lost, the menu staying open;
        # pressed again it reaches the menu, which then closes.
        left, top, right, bottom = (int(v) for v in rect.read_text().split())
        subprocess.run(["xdotool", "mousemove", str((left + right) // 2), str(top + 3)],
                       env=self.env, capture_output=True, timeout=15)
        for attempt in range(3):
            subprocess.run(["xdotool", "key", "--delay", "300", *access_key.split()],
                           env=self.env, capture_output=True, timeout=15)
            if self.post_tray("closed"):
                if attempt:
                    print(f"the menu took key {access_key} at attempt {attempt + 1}",
                          file=sys.stderr, flush=True)
                return True
        # Wine hands a key to the thread of the foreground window, which at times is not ours
        # here; the program's reaction to the choice is what the tests are about.
        if self.post_tray("char", access_key.replace(" ", "")) and self.post_tray("closed"):
            print(f"the tray menu at {left},{top} took key {access_key} only when posted to it",
                  file=sys.stderr, flush=True)
            return True
        print(f"the tray menu at {left},{top} never took key {access_key}", file=sys.stderr,
              flush=True)
        return False

    def registry_value(self, name, key=RUN_KEY):
        """(type, data) of a registry value as `wine reg query` prints it (in GBK), or None."""
        out = self.session.root / "reg-query.txt"
        with open(out, "wb") as f:
            result = subprocess.run(self.command(["wine", "reg", "query", key, "/v", name]),
                                    env=self.env, stdout=f, stderr=subprocess.DEVNULL,
                                    stdin=subprocess.DEVNULL, timeout=60)
        if result.returncode != 0:
            return None
        for line in out.read_bytes().decode("gbk", "replace").splitlines():
            words = line.strip().split(None, 2)
            if words and words[0] == name:
                return words[1], words[2] if len(words) > 2 else ""
        return None


class WineTrayDriver:
    """Starts Tolvane.exe and picks its tray menu entries, opening the menu by a posted tray
    message or, with `choose_by_click`, by a right click on the icon docked in the notification
    area; for a test case with a session, self.wine and (for clicks) self.display. The
    program's output goes to a new self.log at every start."""

    def start(self, program, fake_time=None, cwd=None, extra=None):
        self.log = self.session.root / f"wine-{time.monotonic_ns()}.log"
        process = self.wine.start_tolvane(program, self.log, fake_time, cwd=cwd, extra=extra)
        self.assertIsNotNone(process)
        return process

    def choose(self, access_key):
        self.assertTrue(self.wine.choose(access_key), "the tray menu did not open or take the key")

    def choose_by_click(self, access_key):
        def right_click():
            # Wine's explorer.exe owns the docked icon's window.
            icons = wait_until(lambda: tray_icons(self.display, "explorer.exe"), 10)
            self.assertTrue(icons, "no tray icon docked")
            _, w, h, x, y = icons[0]
            return x_tool(self.display, "xdotool", "mousemove", x + w // 2, y + h // 2, "click",
                          "3").returncode == 0
        self.assertTrue(self.wine.choose(access_key, open_menu=right_click),
                        "the tray menu did not open from a click or take the key")


def windows_program(session, value_ini=None, sound=True, name="program", update=False):
    folder = session.folder(name)
    shutil.copy2(WIN32_BUILD / "Tolvane.exe", folder / "Tolvane.exe")
    if update:
        shutil.copy2(WIN32_BUILD / "update.dll", folder / "update.dll")
    if sound:
        shutil.copytree(WIN32_BUILD / "Sound", folder / "Sound")
    else:
        (folder / "Sound").mkdir()
    if value_ini is not None:
        (folder / "Value.ini").write_bytes(value_ini)
    return folder


def incomplete_pack(program):
    """Sound/我的声音: the man's voice without 三.wav."""
    shutil.copytree(program / "Sound" / "男声", program / "Sound" / "我的声音")
    (program / "Sound" / "我的声音" / "三.wav").unlink()


def gbk_ini(text):
    """A Value.ini as the Windows profile functions write it on a Chinese system."""
    return text.replace("\n", "\r\n").encode("gbk")


_WINE_FILE = re.compile(r'trace:file:CreateFileW L"(?:[^"]*?)Sound\\\\((?:[^"])*?)\.wav"')
_WINE_MISSING = re.compile(r'warn:file:CreateFileW Unable to create file L"(?:[^"]*?)Sound\\\\'
                           r'((?:[^"])*?)\.wav" \(status c0000034\)')


def _unescape_wine(text):
    return re.sub(r"\\([0-9a-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


def wine_clips(log, missing=False):
    """Clips a Wine-run program opened (CreateFileW), or looked for and missed, in order."""
    try:
        text = Path(log).read_text(encoding="utf-8", errors="replace")
    except FileNotFoundError:
        return []
    # Each clip is opened once; a missing one is followed by Wine's "not found" warning.
    clips = []
    for line in text.splitlines():
        opened = _WINE_FILE.search(line)
        if opened:
            clips.append([_unescape_wine(opened.group(1)), True])
            continue
        missed = _WINE_MISSING.search(line)
        if missed and clips and clips[-1][0] == _unescape_wine(missed.group(1)):
            clips[-1][1] = False
    return [word for word, found in clips if found != missing]


_WINE_OPEN = re.compile(r'trace:file:CreateFileW L"[^"]*?'
                        r'(?:Sound\\\\([^"]*?)\.wav|\\(alert)\.wav)"')


def wine_clips_and_alerts(log):
    """Every clip the program opened or tried to open, and every time the system's default
    sound (a file named alert.wav, see the tests) was opened, as "ALERT", in order."""
    try:
        text = Path(log).read_text(encoding="utf-8", errors="replace")
    except FileNotFoundError:
        return []
    return [_unescape_wine(m.group(1)) if m.group(1) else "ALERT"
            for m in _WINE_OPEN.finditer(text)]


class E2ETest(unittest.TestCase):
    """A test case with a Session; fails at once when the program under test was not built."""

    needs = None  # "linux" or "win32"

    def setUp(self):
        if self.needs == "linux" and not (LINUX_BUILD / "tolvane").exists():
            self.fail(f"tolvane is not built in {LINUX_BUILD}")
        if self.needs == "win32" and not (WIN32_BUILD / "Tolvane.exe").exists():
            self.fail(f"Tolvane.exe is not built in {WIN32_BUILD}")
        self.session = Session(self.id().split(".")[-1])
        self.addCleanup(self.session.close)
