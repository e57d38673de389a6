"""The Linux program speaks on the hour by itself, from its own Sound folder, as observed from
outside: the clip files it opens (strace), what reaches the sound device, and a recording."""

import time
import unittest

from harness import (E2ETest, PulseSink, alsa_capture_home, alsa_null_home, assert_heard,
                     is_running, linux_env, linux_program, start_linux, strace_clips, wait_until)

DATE_AND_TIME = ("提示 今天是 二 零 一 零 年 七 月 二 十 八 日 星期 三 现在时间 上午 十 点 整").split()


class LinuxSpeaking(E2ETest):
    needs = "linux"

    def run_across(self, value_ini, fake_time, expect_count, wait=12, home=None, program=None,
                   executable=None, cwd=None):
        program = program or linux_program(self.session, value_ini=value_ini)
        home = home or alsa_null_home(self.session)
        trace = self.session.root / "openat.log"
        process = start_linux(self.session, program, linux_env(self.session, home=home),
                              fake_time=fake_time, trace=trace, executable=executable, cwd=cwd)
        if expect_count:
            wait_until(lambda: len(strace_clips(trace)) >= expect_count, wait)
        else:
            time.sleep(wait)
        self.assertTrue(is_running(process))
        return strace_clips(trace), trace

    def test_speaks_date_then_time_at_ten_oclock(self):
        clips, trace = self.run_across("[Tolvane]\n格式设置=2\n", "2010-07-28 09:59:57", 20)
        self.assertEqual(clips, DATE_AND_TIME)
        opened = strace_clips(trace, with_times=True)
        self.assertTrue(all(t >= opened[0][1] for _, t in opened))

    def test_six_hourly_is_silent_at_fifteen_oclock(self):
        clips, _ = self.run_across("[Tolvane]\n报时设置=2\n", "2010-07-28 14:59:57", 0, wait=6)
        self.assertEqual(clips, [])

    def test_six_hourly_speaks_at_eighteen_oclock(self):
        clips, _ = self.run_across("[Tolvane]\n报时设置=2\n", "2010-07-28 17:59:58", 6)
        self.assertEqual(clips, "提示 现在时间 下午 六 点 整".split())

    def test_announcements_off_at_start_stays_silent(self):
        clips, _ = self.run_across("[Tolvane]\n关闭报时=1\n", "2010-07-28 09:59:57", 0, wait=6)
        self.assertEqual(clips, [])

    def test_announcements_off_value_2_still_speaks(self):
        clips, _ = self.run_across("[Tolvane]\n关闭报时=2\n", "2010-07-28 09:59:58", 6)
        self.assertEqual(clips, "提示 现在时间 上午 十 点 整".split())

    def test_started_through_a_symlink_uses_its_own_folder(self):
        program = linux_program(self.session, value_ini="[Tolvane]\n格式设置=1\n")
        elsewhere = self.session.folder("elsewhere")
        (elsewhere / "Value.ini").write_text("[Tolvane]\n格式设置=0\n")
        (elsewhere / "Sound").mkdir()
        link = elsewhere / "tolvane-link"
        link.symlink_to(program / "tolvane")
        clips, trace = self.run_across(None, "2010-07-28 09:59:58", 14, program=program,
                                       executable=link, cwd=elsewhere)
        self.assertEqual(clips, "提示 今天是 二 零 一 零 年 七 月 二 十 八 日 星期 三".split())
        text = trace.read_text(encoding="latin-1")
        self.assertIn(f"{program}/Sound/", text)
        self.assertNotIn(f"{elsewhere}/Sound/", text)

    def test_empty_sound_folder_plays_the_alert_in_every_position(self):
        program = linux_program(self.session, value_ini="[Tolvane]\n格式设置=2\n", sound=False)
        (program / "Sound").mkdir()
        capture = self.session.root / "played.raw"
        home = alsa_capture_home(self.session, capture)
        clips, trace = self.run_across(None, "2010-07-28 09:59:57", 20, program=program, home=home)
        self.assertEqual(clips, DATE_AND_TIME)
        self.assertEqual(strace_clips(trace, found_only=True), [])
        alert_bytes = 22050 * 18 // 100 * 2
        wait_until(lambda: capture.stat().st_size >= 20 * alert_bytes, 10)
        time.sleep(0.5)
        self.assertEqual(capture.stat().st_size, 20 * alert_bytes)

    def test_sound_really_comes_out(self):
        sink = PulseSink(self.session)
        recording = self.session.root / "recording.wav"
        sink.record(recording)
        program = linux_program(self.session, value_ini="[Tolvane]\n格式设置=0\n")
        home = sink.alsa_home(self.session)
        trace = self.session.root / "openat.log"
        env = linux_env(self.session, home=home)
        start_linux(self.session, program, env, fake_time="2010-07-28 09:59:58", trace=trace)
        words = "提示 现在时间 上午 十 点 整".split()
        wait_until(lambda: len(strace_clips(trace)) >= len(words), 30)
        time.sleep(4)
        sink.stop_recording()
        self.assertEqual(strace_clips(trace), words)
        assert_heard(self, recording, program / "Sound", words)


if __name__ == "__main__":
    unittest.main()
