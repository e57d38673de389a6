"""The Linux program speaks on the hour by itself, from its own Sound folder, as observed from
outside: the clip files it opens (strace), what reaches the sound device, and a recording."""

import os
import shutil
import subprocess
import time
import unittest

from harness import (LINUX_BUILD, E2ETest, PulseSink, alsa_capture_home, alsa_null_home,
                     assert_heard, clip_variant, fake_time_args, is_running, linux_env,
                     linux_program, private_network, sound_after_lead, start_linux, strace_clips,
                     wait_until)

# 2010 has no clip of its own: its year is read from the word clips.
DATE_ONLY = "提示 今天是 二 零 一 零 年 七月 二十八日 星期三".split()
DATE_AND_TIME = DATE_ONLY + ["现在时间上午十点整"]
# A folder without phrase clips: a clip for every word.
WORD_BY_WORD = ("提示 今天是 二 零 一 零 年 七 月 二 十 八 日 星期 三 现在时间 上午 十 点 整").split()


class LinuxSpeaking(E2ETest):
    needs = "linux"

    def run_across(self, value_ini, fake_time, expect, wait=12, home=None, program=None,
                   executable=None, cwd=None):
        """Starts a traced copy under fake time and returns the clips it opened: once as many as
        `expect` holds have been opened, or after `wait` seconds when nothing is expected."""
        program = program or linux_program(self.session, value_ini=value_ini)
        home = home or alsa_null_home(self.session)
        trace = self.session.root / "openat.log"
        process = start_linux(self.session, program, linux_env(self.session, home=home),
                              fake_time=fake_time, trace=trace, executable=executable, cwd=cwd)
        if expect:
            wait_until(lambda: len(strace_clips(trace)) >= len(expect), wait)
            time.sleep(0.5)  # a clip too many would show up here
        else:
            time.sleep(wait)
        self.assertTrue(is_running(process))
        return strace_clips(trace), trace

    def test_speaks_date_then_time_at_ten_oclock(self):
        clips, trace = self.run_across("[Tolvane]\n格式设置=2\n", "2010-07-28 09:59:57",
                                       DATE_AND_TIME)
        self.assertEqual(clips, DATE_AND_TIME)
        opened = strace_clips(trace, with_times=True)
        self.assertTrue(all(t >= opened[0][1] for _, t in opened))

    def test_six_hourly_is_silent_at_fifteen_oclock(self):
        clips, _ = self.run_across("[Tolvane]\n报时设置=2\n", "2010-07-28 14:59:57", None,
                                   wait=6)
        self.assertEqual(clips, [])

    def test_six_hourly_speaks_at_eighteen_oclock(self):
        words = "提示 现在时间下午六点整".split()
        clips, _ = self.run_across("[Tolvane]\n报时设置=2\n", "2010-07-28 17:59:58", words)
        self.assertEqual(clips, words)

    def test_announcements_off_at_start_stays_silent(self):
        clips, _ = self.run_across("[Tolvane]\n关闭报时=1\n", "2010-07-28 09:59:57", None,
                                   wait=6)
        self.assertEqual(clips, [])

    def test_announcements_off_value_2_still_speaks(self):
        words = "提示 现在时间上午十点整".split()
        clips, _ = self.run_across("[Tolvane]\n关闭报时=2\n", "2010-07-28 09:59:58", words)
        self.assertEqual(clips, words)

    def test_started_through_a_symlink_uses_its_own_folder(self):
        program = linux_program(self.session, value_ini="[Tolvane]\n格式设置=1\n")
        elsewhere = self.session.folder("elsewhere")
        (elsewhere / "Value.ini").write_text("[Tolvane]\n格式设置=0\n")
        (elsewhere / "Sound").mkdir()
        link = elsewhere / "tolvane-link"
        link.symlink_to(program / "tolvane")
        clips, trace = self.run_across(None, "2010-07-28 09:59:58", DATE_ONLY, program=program,
                                       executable=link, cwd=elsewhere)
        self.assertEqual(clips, DATE_ONLY)
        text = trace.read_text(encoding="latin-1")
        self.assertIn(f"{program}/Sound/", text)
        self.assertNotIn(f"{elsewhere}/Sound/", text)

    def test_empty_sound_folder_plays_the_alert_in_every_position(self):
        program = linux_program(self.session, value_ini="[Tolvane]\n格式设置=2\n", sound=False)
        (program / "Sound").mkdir()
        capture = self.session.root / "played.raw"
        home = alsa_capture_home(self.session, capture)
        clips, trace = self.run_across(None, "2010-07-28 09:59:57", WORD_BY_WORD, program=program,
                                       home=home)
        self.assertEqual(clips, WORD_BY_WORD)
        self.assertEqual(strace_clips(trace, found_only=True), [])
        alert_bytes, pause_bytes = 22050 * 18 // 100 * 2, 22050 * 50 // 1000 * 2
        wait_until(lambda: capture.stat().st_size >= 20 * alert_bytes + 19 * pause_bytes, 10)
        time.sleep(0.5)
        self.assertTrue(sound_after_lead(capture, 20 * alert_bytes + 19 * pause_bytes))

    def test_sound_really_comes_out(self):
        sink = PulseSink(self.session)
        recording = self.session.root / "recording.wav"
        sink.record(recording)
        program = linux_program(self.session, value_ini="[Tolvane]\n格式设置=0\n")
        home = sink.alsa_home(self.session)
        trace = self.session.root / "openat.log"
        env = linux_env(self.session, home=home)
        start_linux(self.session, program, env, fake_time="2010-07-28 09:59:58", trace=trace)
        words = "提示 现在时间上午十点整".split()
        wait_until(lambda: len(strace_clips(trace)) >= len(words), 30)
        time.sleep(4)
        sink.stop_recording()
        self.assertEqual(strace_clips(trace), words)
        assert_heard(self, recording, program / "Sound", words)

    def test_24_bit_and_float_clips_are_heard(self):
        sink = PulseSink(self.session)
        recording = self.session.root / "recording.wav"
        sink.record(recording)
        program = linux_program(self.session, value_ini="[Tolvane]\n格式设置=0\n")
        words = "提示 现在时间上午十点整".split()
        kinds = ["extensible24", "float32"]
        for word, kind in zip(words, kinds):
            clip = program / "Sound" / f"{word}.wav"
            clip.write_bytes(clip_variant(clip.read_bytes(), kind))
        trace = self.session.root / "openat.log"
        env = linux_env(self.session, home=sink.alsa_home(self.session))
        start_linux(self.session, program, env, fake_time="2010-07-28 09:59:58", trace=trace)
        wait_until(lambda: len(strace_clips(trace)) >= len(words), 30)
        time.sleep(4)
        sink.stop_recording()
        self.assertEqual(strace_clips(trace), words)
        # As long as the 16-bit originals, where alerts in their places would last 0.4 s.
        assert_heard(self, recording, LINUX_BUILD / "Sound", words)

    def deep_program(self, value_ini):
        """A program folder whose real path is longer than the 4095 bytes /proc/self/exe can
        give, reached through two short symbolic links: deep/L/M."""
        base = self.session.folder("deep")
        names = [f"{i:02d}" + "d" * 230 for i in range(20)]
        fd = os.open(base, os.O_RDONLY | os.O_DIRECTORY)
        try:
            for i, name in enumerate(names):
                if i in (0, 10):
                    os.symlink("/".join(names[i:i + 10]), "L" if i == 0 else "M", dir_fd=fd)
                os.mkdir(name, dir_fd=fd)
                inner = os.open(name, os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
                os.close(fd)
                fd = inner
        finally:
            os.close(fd)
        folder = base / "L" / "M"
        shutil.copy2(LINUX_BUILD / "tolvane", folder / "tolvane")
        shutil.copytree(LINUX_BUILD / "Sound", folder / "Sound")
        (folder / "Value.ini").write_text(value_ini)
        self.assertGreater(len(os.path.realpath(folder / "tolvane")), 4095)
        return folder

    def decoy_folder(self):
        """A current folder holding another program's settings and clips."""
        elsewhere = self.session.folder("elsewhere")
        (elsewhere / "Value.ini").write_text("[Tolvane]\n格式设置=2\n")
        shutil.copytree(LINUX_BUILD / "Sound", elsewhere / "Sound")
        return elsewhere

    def test_a_program_folder_too_long_for_proc_is_found_from_the_command(self):
        program = self.deep_program("[Tolvane]\n格式设置=1\n")
        elsewhere = self.decoy_folder()
        clips, trace = self.run_across(None, "2010-07-28 09:59:58", DATE_ONLY, program=program,
                                       cwd=elsewhere)
        self.assertEqual(clips, DATE_ONLY)
        self.assertEqual(strace_clips(trace, found_only=True), clips)
        text = trace.read_text(encoding="latin-1")
        self.assertIn(f'"{program}/Value.ini"', text)
        self.assertNotIn('"./', text)
        self.assertNotIn(f"{elsewhere}/", text)

    def test_without_any_program_folder_it_speaks_alerts_on_defaults(self):
        program = self.deep_program("[Tolvane]\n格式设置=2\n")
        elsewhere = self.decoy_folder()
        capture = self.session.root / "played.raw"
        env = linux_env(self.session, home=alsa_capture_home(self.session, capture))
        trace = self.session.root / "openat.log"
        errors = self.session.root / "stderr.txt"
        # Neither /proc/self/exe nor the command (a bare name found nowhere on PATH) tells.
        with open(errors, "wb") as stderr:
            process = self.session.spawn(private_network(self.session).wrap(
                ["strace", "-f", "-qq", "-e", "trace=openat", "-o", trace,
                 *fake_time_args("2010-07-28 09:59:58"), "bash", "-c", 'exec -a tolvane "$0"',
                 program / "tolvane"]), env=env, cwd=elsewhere, stdout=subprocess.DEVNULL,
                stderr=stderr)
        alert_bytes, pause_bytes = 22050 * 18 // 100 * 2, 22050 * 50 // 1000 * 2
        wait_until(lambda: capture.stat().st_size >= 6 * alert_bytes + 5 * pause_bytes, 12)
        time.sleep(1)
        self.assertTrue(is_running(process))
        # 提示 现在时间 上午 十 点 整, with the pause between any two
        self.assertTrue(sound_after_lead(capture, 6 * alert_bytes + 5 * pause_bytes))
        text = trace.read_text(encoding="latin-1")
        self.assertNotIn("Value.ini", text)
        self.assertNotIn("/Sound/", text)
        self.assertEqual(strace_clips(trace), [])
        said = errors.read_text().splitlines()
        self.assertEqual(len([line for line in said if "folder" in line]), 1, said)


if __name__ == "__main__":
    unittest.main()
