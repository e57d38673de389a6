"""Tolvane.exe under Wine speaks on the hour by itself, reading a Value.ini written in GBK as the
Chinese system writes it: the clip files it opens (Wine's file trace) and a recording."""

import time
import unittest

from harness import (E2ETest, PulseSink, Wine, alsa_null_home, assert_heard, gbk_ini,
                     is_running, start_xvfb, wait_until, windows_program, wine_clips)

DATE_AND_TIME = ("提示 今天是 二 零 一 零 年 七 月 二 十 八 日 星期 三 现在时间 上午 十 点 整").split()


class WindowsSpeaking(E2ETest):
    needs = "win32"

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)

    def run_across(self, value_ini, fake_time, expect, wait=15, sound=True, wine=None,
                   missing=False, registry=()):
        wine = wine or Wine(self.session, display=self.display, home=alsa_null_home(self.session))
        program = windows_program(self.session, value_ini=gbk_ini(value_ini), sound=sound)
        log = self.session.root / "wine.log"
        wine.set_fake_time(fake_time)
        for key, name, value in registry:
            wine.run(["reg", "add", key] + (["/v", name] if name else ["/ve"]) + ["/d", value, "/f"])
        copy = wine.spawn([program / "Tolvane.exe"], extra={"WINEDEBUG": "-all,+file"}, log=log)
        if expect:
            wait_until(lambda: len(wine_clips(log, missing)) >= len(expect), wait)
            time.sleep(0.5)
        else:
            time.sleep(wait)
        self.assertTrue(is_running(copy))
        return wine_clips(log, missing), program, wine

    def test_speaks_date_then_time_at_ten_oclock(self):
        clips, _, _ = self.run_across("[Tolvane]\n格式设置=2\n", "2010-07-28 09:59:55", DATE_AND_TIME)
        self.assertEqual(clips, DATE_AND_TIME)

    def test_six_hourly_is_silent_at_fifteen_oclock(self):
        clips, _, _ = self.run_across("[Tolvane]\n报时设置=2\n", "2010-07-28 14:59:55", None, wait=9)
        self.assertEqual(clips, [])

    def test_announcements_off_at_start_stays_silent(self):
        clips, _, _ = self.run_across("[Tolvane]\n关闭报时=1\n", "2010-07-28 09:59:55", None, wait=9)
        self.assertEqual(clips, [])

    def test_empty_sound_folder_plays_the_default_sound_in_every_position(self):
        wine = Wine(self.session, display=self.display, home=alsa_null_home(self.session))
        alert = self.session.root / "alert.wav"
        alert.write_bytes((windows_program(self.session, name="source") / "Sound" / "提示.wav")
                          .read_bytes())
        default_sound = (r"HKCU\AppEvents\Schemes\Apps\.Default\SystemDefault\.Current", None,
                         "Z:" + str(alert).replace("/", "\\"))
        clips, _, _ = self.run_across("[Tolvane]\n格式设置=2\n", "2010-07-28 09:59:55",
                                      DATE_AND_TIME, sound=False, wine=wine, missing=True,
                                      registry=[default_sound])
        self.assertEqual(clips, DATE_AND_TIME)
        text = (self.session.root / "wine.log").read_text(encoding="utf-8", errors="replace")
        self.assertEqual(sum(1 for line in text.splitlines()
                             if "CreateFileW" in line and "alert.wav" in line), len(DATE_AND_TIME))

    def test_sound_really_comes_out(self):
        sink = PulseSink(self.session)
        recording = self.session.root / "recording.wav"
        sink.record(recording)
        wine = Wine(self.session, display=self.display, home=sink.alsa_home(self.session))
        # Wine's ALSA output waits for each clip to be heard; its PulseAudio output cuts the
        # end of short clips, which would measure Wine rather than the program.
        alsa_driver = (r"HKCU\Software\Wine\Drivers", "Audio", "alsa")
        words = "提示 现在时间 上午 十 点 整".split()
        clips, program, _ = self.run_across("[Tolvane]\n格式设置=0\n", "2010-07-28 09:59:55",
                                            words, wait=30, wine=wine, registry=[alsa_driver])
        time.sleep(4)
        sink.stop_recording()
        self.assertEqual(clips, words)
        assert_heard(self, recording, program / "Sound", words)


if __name__ == "__main__":
    unittest.main()
