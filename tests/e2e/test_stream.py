"""One announcement with date and time through a clock-paced pipe sink, on both programs: the
same silence at every boundary between clips, no sound lost, and a tray menu opened and closed
while it speaks answering at once and leaving the recording as it was."""

import array
import os
import subprocess
import time
import unittest
import wave

from harness import (E2ETest, PulseSink, TrayDriver, Wine, WineTrayDriver, gbk_ini, linux_env,
                     linux_program, start_linux, start_tray_host, start_xvfb, strace_clips,
                     tray_icons, wait_until, windows_program, wine_clips, x_is_viewable, x_tool,
                     x_windows)

PAUSE = 0.050  # the designed silence between clips
LOUD = 300     # a sample louder than this is sound


def quiet_ends(path):
    """A clip's samples and its quiet at the start and the end, in frames."""
    with wave.open(str(path), "rb") as clip:
        samples = array.array("h", clip.readframes(clip.getnframes()))
    loud = [i for i, s in enumerate(samples) if abs(s) > LOUD]
    return len(samples), loud[0], len(samples) - 1 - loud[-1]


class StreamScenarios:
    def test_even_boundaries_no_loss_and_a_menu_that_answers(self):
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        sink = PulseSink(self.session)
        fifo, raw = sink.dir / "pipe.fifo", self.session.root / "rec.raw"
        os.mkfifo(fifo)
        pulse = dict(os.environ, PULSE_SERVER=f"unix:{sink.socket}", HOME=str(sink.dir),
                     XDG_RUNTIME_DIR=str(sink.dir))
        subprocess.run(["pactl", "load-module", "module-pipe-sink", f"file={fifo}",
                        "sink_name=pipesink", "format=s16le", "rate=22050", "channels=1",
                        "use_system_clock_for_timing=yes"], env=pulse, check=True, timeout=15)
        with open(raw, "wb") as out:
            self.session.spawn(["cat", str(fifo)], stdout=out)
        program = self.start(sink, "[Tolvane]\n格式设置=2\n广告设置=2\n")
        self.assertTrue(wait_until(lambda: len(self.clips()) >= 10, 60), self.clips())
        time.sleep(1.5)  # well inside the date
        self.before = {w[1] for w in x_windows(self.display)}
        started = time.monotonic()
        self.menu_shown()
        poll = time.monotonic() - started  # what one look from outside costs
        self.right_click()  # returns once the click has been sent
        started = time.monotonic()
        menu = wait_until(self.menu_shown, 5, interval=0.005)
        opened_after = time.monotonic() - started - poll
        self.assertTrue(menu, "no menu popped up")
        time.sleep(1.0)
        x_tool(self.display, "xdotool", "key", "Escape")
        time.sleep(8)
        words = self.clips()
        clips = [quiet_ends(program / "Sound" / f"{w}.wav") for w in words]
        samples = array.array("h", raw.read_bytes()[: raw.stat().st_size // 2 * 2])
        loud = [i for i, s in enumerate(samples) if abs(s) > LOUD]
        self.assertTrue(loud, "nothing was heard")
        pause = round(PAUSE * 22050)
        # Where each clip should start if every boundary holds exactly the designed pause.
        at, starts = loud[0] - clips[0][1], []
        for frames, _, _ in clips:
            starts.append(at)
            at += frames + pause
        expected = at - pause - starts[0] - clips[0][1] - clips[-1][2]
        heard = loud[-1] - loud[0]
        silences = []
        for i in range(1, len(clips)):
            gap_at = starts[i] - pause // 2
            lo = hi = gap_at
            while lo > 0 and abs(samples[lo - 1]) <= LOUD:
                lo -= 1
            while hi < len(samples) and abs(samples[hi]) <= LOUD:
                hi += 1
            silences.append((hi - lo) / 22.05 - (clips[i - 1][2] + pause + clips[i][1]) / 22.05)
        print(f"\n{type(self).__name__}: menu after {opened_after * 1000:.0f} ms (a look {poll * 1000:.0f} ms), heard "
              f"{heard / 22050:.3f} s of {expected / 22050:.3f} s, boundary silence beyond the "
              f"designed one (ms): {' '.join(f'{s:.1f}' for s in silences)}")
        self.assertLess(opened_after, 0.1)
        self.assertLess(abs(heard - expected), 0.01 * expected)
        self.assertLess(max(abs(s) for s in silences), 5.0, silences)


class LinuxStream(StreamScenarios, TrayDriver, E2ETest):
    needs = "linux"

    def start(self, sink, ini):
        program = linux_program(self.session, value_ini=ini)
        self.trace = self.session.root / "openat.log"
        env = linux_env(self.session, display=self.display, home=sink.alsa_home(self.session),
                        extra={"PULSE_SINK": "pipesink"})
        start_linux(self.session, program, env, fake_time="2010-07-28 09:59:57", trace=self.trace)
        self.assertTrue(wait_until(lambda: tray_icons(self.display, "tolvane"), 10))
        return program

    def clips(self):
        return strace_clips(self.trace)

    def right_click(self):
        self.click_icon(3)

    def menu_shown(self):
        return self.popups()


class WindowsStream(StreamScenarios, WineTrayDriver, E2ETest):
    needs = "win32"

    def start(self, sink, ini):
        self.wine = Wine(self.session, display=self.display, home=sink.alsa_home(self.session))
        self.wine.env["PULSE_SINK"] = "pipesink"
        self.wine.run(["reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Audio", "/d", "alsa",
                       "/f"], timeout=60)
        program = windows_program(self.session, value_ini=gbk_ini(ini))
        super().start(program, fake_time="2010-07-28 09:59:50")
        return program

    def clips(self):
        return wine_clips(self.log)

    def right_click(self):
        _, w, h, x, y = wait_until(lambda: tray_icons(self.display, "explorer.exe"), 10)[0]
        x_tool(self.display, "xdotool", "mousemove", x + w // 2, y + h // 2, "click", "3")

    def menu_shown(self):
        return [w for w in x_windows(self.display) if w[1] not in self.before
                and x_is_viewable(self.display, w[1])]


if __name__ == "__main__":
    unittest.main()
