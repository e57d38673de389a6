"""One announcement with date and time through a clock-paced pipe sink, on both programs: the
whole program stopped for half a second mid-announcement (SIGSTOP), as a loaded desktop or a
swap-in stalls it, and a tray menu opened while it speaks, and still the same silence stands at
every boundary between clips, no sound is lost, and the menu answers at once.

Neither program runs under a tracer here: strace -f stops a program at each of its system calls,
and a speaking program makes many, which once made the first menu take most of a second (its
fonts are loaded then). The clips are watched through inotify instead."""

import array
import os
import signal
import time
import unittest
import wave

from harness import (E2ETest, FAKETIME_LIB, OpenedClips, PulseSink, TrayDriver, Wine,
                     WineTrayDriver, gbk_ini, linux_env, linux_program, process_named,
                     start_linux, start_tray_host, start_xvfb, tray_icons, wait_until,
                     windows_program, x_is_viewable, x_tool, x_windows)

PAUSE = 0.050  # the designed silence between clips
LOUD = 300     # a sample louder than this is sound
STALL = 0.5    # the whole program stopped this long


def quiet_ends(path):
    """A clip's samples and its quiet at the start and the end, in frames."""
    with wave.open(str(path), "rb") as clip:
        samples = array.array("h", clip.readframes(clip.getnframes()))
    loud = [i for i, s in enumerate(samples) if abs(s) > LOUD]
    return len(samples), loud[0], len(samples) - 1 - loud[-1]


def loud_samples(raw):
    samples = array.array("h", raw.read_bytes()[: raw.stat().st_size // 2 * 2])
    return samples, [i for i, s in enumerate(samples) if abs(s) > LOUD]


class StreamScenarios:
    def test_even_boundaries_no_loss_through_a_stall_and_a_menu_that_answers(self):
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        sink = PulseSink(self.session)
        program = self.program("[Tolvane]\n格式设置=2\n广告设置=2\n")
        # The sink at the clips' own rate: nothing resamples what is measured.
        with wave.open(str(program / "Sound" / "提示.wav"), "rb") as chime:
            rate = chime.getframerate()
        raw = sink.pipe(rate)
        clips = OpenedClips(self.session, program / "Sound")
        self.start(sink, program)
        self.assertTrue(wait_until(lambda: loud_samples(raw)[1], 60, interval=0.01))
        time.sleep(1.5)  # well inside the date
        stopped = process_named(self.process.pid, self.name)
        os.kill(stopped, signal.SIGSTOP)
        time.sleep(STALL)
        os.kill(stopped, signal.SIGCONT)
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
        files = [quiet_ends(program / "Sound" / f"{w}.wav") for w in clips()]
        samples, loud = loud_samples(raw)
        self.assertTrue(loud, "nothing was heard")
        pause = round(PAUSE * rate)
        # Where each clip should start if every boundary holds exactly the designed pause.
        at, starts = loud[0] - files[0][1], []
        for frames, _, _ in files:
            starts.append(at)
            at += frames + pause
        expected = at - pause - starts[0] - files[0][1] - files[-1][2]
        heard = loud[-1] - loud[0]
        silences = []
        for i in range(1, len(files)):
            gap_at = starts[i] - pause // 2
            lo = hi = gap_at
            while lo > 0 and abs(samples[lo - 1]) <= LOUD:
                lo -= 1
            while hi < len(samples) and abs(samples[hi]) <= LOUD:
                hi += 1
            silences.append((hi - lo - files[i - 1][2] - pause - files[i][1]) * 1000 / rate)
        print(f"\n{type(self).__name__}: stopped {STALL * 1000:.0f} ms, menu after "
              f"{opened_after * 1000:.0f} ms (a look {poll * 1000:.0f} ms), heard "
              f"{heard / rate:.3f} s of {expected / rate:.3f} s, boundary silence beyond the "
              f"designed one (ms): {' '.join(f'{s:.1f}' for s in silences)}")
        self.assertLess(opened_after, 0.1)
        self.assertLess(abs(heard - expected) * 1000 / rate, 5.0)
        self.assertLess(max(abs(s) for s in silences), 5.0, silences)


class LinuxStream(StreamScenarios, TrayDriver, E2ETest):
    needs = "linux"
    name = "tolvane"

    def program(self, ini):
        return linux_program(self.session, value_ini=ini)

    def start(self, sink, program):
        env = linux_env(self.session, display=self.display, home=sink.alsa_home(self.session),
                        extra={"PULSE_SINK": "pipesink", "LD_PRELOAD": FAKETIME_LIB,
                               "FAKETIME": "@2010-07-28 09:59:57", "FAKETIME_NO_CACHE": "1"})
        self.process = start_linux(self.session, program, env)
        self.assertTrue(wait_until(lambda: tray_icons(self.display, "tolvane"), 10))

    def right_click(self):
        self.click_icon(3)

    def menu_shown(self):
        return self.popups()


class WindowsStream(StreamScenarios, WineTrayDriver, E2ETest):
    needs = "win32"
    name = "Tolvane.exe"

    def program(self, ini):
        return windows_program(self.session, value_ini=gbk_ini(ini))

    def start(self, sink, program):
        self.wine = Wine(self.session, display=self.display, home=sink.alsa_home(self.session))
        self.wine.env["PULSE_SINK"] = "pipesink"
        self.wine.run(["reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Audio", "/d", "alsa",
                       "/f"], timeout=60)
        self.process = super().start(program, fake_time="2010-07-28 09:59:50",
                                     extra={"WINEDEBUG": "-all"})

    def right_click(self):
        _, w, h, x, y = wait_until(lambda: tray_icons(self.display, "explorer.exe"), 10)[0]
        x_tool(self.display, "xdotool", "mousemove", x + w // 2, y + h // 2, "click", "3")

    def menu_shown(self):
        return [w for w in x_windows(self.display) if w[1] not in self.before
                and x_is_viewable(self.display, w[1])]


if __name__ == "__main__":
    unittest.main()
