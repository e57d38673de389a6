"""Tolvane.exe under Wine speaks on the hour by itself, reading a Value.ini written in GBK as the
Chinese system writes it: the clip files it opens (Wine's file trace) and a recording."""

import time
import unittest

from harness import (E2ETest, PulseSink, Wine, alsa_null_home, assert_heard, clip_variant,
                     gbk_ini, is_running, peak_memory_kb, start_xvfb, wait_until,
                     windows_program, wine_clips, wine_clips_and_alerts)

# 2010 has no clip of its own: its year is read from the word clips.
DATE_AND_TIME = "提示 今天是 二 零 一 零 年 七月 二十八日 星期三 现在时间上午十点整".split()
# A folder without phrase clips: a clip for every word.
WORD_BY_WORD = ("提示 今天是 二 零 一 零 年 七 月 二 十 八 日 星期 三 现在时间 上午 十 点 整").split()


class WindowsSpeaking(E2ETest):
    needs = "win32"

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)

    def run_across(self, value_ini, fake_time, expect, wait=15, sound=True, wine=None,
                   missing=False, registry=(), program=None, done=None):
        wine = wine or Wine(self.session, display=self.display, home=alsa_null_home(self.session))
        program = program or windows_program(self.session, value_ini=gbk_ini(value_ini),
                                             sound=sound)
        log = self.session.root / "wine.log"
        wine.set_fake_time(fake_time)
        for key, name, value in registry:
            wine.run(["reg", "add", key] + (["/v", name] if name else ["/ve"]) + ["/d", value, "/f"])
        self.copy = wine.spawn([program / "Tolvane.exe"], extra={"WINEDEBUG": "-all,+file"},
                               log=log)
        if expect:
            wait_until(done or (lambda: len(wine_clips(log, missing)) >= len(expect)), wait)
            time.sleep(0.5)
        else:
            time.sleep(wait)
        self.assertTrue(is_running(self.copy))
        return wine_clips(log, missing), program, wine

    def default_sound(self):
        """A registry entry making a copy of the prompt clip the system's default sound."""
        alert = self.session.root / "alert.wav"
        alert.write_bytes((windows_program(self.session, name="source") / "Sound" / "提示.wav")
                          .read_bytes())
        return (r"HKCU\AppEvents\Schemes\Apps\.Default\SystemDefault\.Current", None,
                "Z:" + str(alert).replace("/", "\\"))

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
        clips, _, _ = self.run_across("[Tolvane]\n格式设置=2\n", "2010-07-28 09:59:55",
                                      WORD_BY_WORD, sound=False, missing=True,
                                      registry=[self.default_sound()])
        self.assertEqual(clips, WORD_BY_WORD)
        self.assertEqual(wine_clips_and_alerts(self.session.root / "wine.log"),
                         [w for word in WORD_BY_WORD for w in (word, "ALERT")])

    def test_malformed_clips_play_the_alert_in_their_places_and_nothing_hangs(self):
        program = windows_program(self.session, value_ini=gbk_ini("[Tolvane]\n格式设置=2\n"))
        # The headers that hung or bloated the system's own parser; the first one only lies
        # about its length and plays what it holds. Wider formats play as 16-bit samples, the
        # chime at 384 kHz making the whole stream so; a clip of hours is no word.
        kinds = {"二": "data_size", "年": "zero_channels", "星期三": "fmt_size", "七月": "rate_4g",
                 "二十八日": "extensible24", "今天是": "float32", "一": "pcm24",
                 "提示": "stereo384k", "现在时间上午十点整": "hours"}
        refused = {"年", "星期三", "七月", "现在时间上午十点整"}
        for word, kind in kinds.items():
            clip = program / "Sound" / f"{word}.wav"
            clip.write_bytes(clip_variant(clip.read_bytes(), kind))
        log = self.session.root / "wine.log"
        expected = [w for word in DATE_AND_TIME
                    for w in ((word, "ALERT") if word in refused else (word,))]
        started = time.monotonic()
        clips, _, wine = self.run_across(
            None, "2010-07-28 09:59:55", DATE_AND_TIME, wait=20, program=program,
            registry=[self.default_sound()], done=lambda: wine_clips_and_alerts(log) == expected)
        # The hour strikes about five seconds after the start; the chain takes two or three.
        spoken_after = time.monotonic() - started
        self.assertEqual(wine_clips_and_alerts(log), expected)
        self.assertEqual(clips, DATE_AND_TIME)
        self.assertLess(spoken_after, 15)
        peak = peak_memory_kb(self.copy.pid)
        self.assertIsNotNone(peak)
        self.assertLess(peak, 64 * 1024)
        # The tray still reacts: a left click speaks again once the first announcement has been
        # heard (a click while it speaks is dropped).
        again = lambda: wine_clips(log)[len(DATE_AND_TIME):][:2] == ["提示", "今天是"]
        self.assertTrue(wait_until(lambda: wine.run([wine.helper("post_tray"), "left"]) and
                                   wait_until(again, 1), 30))

    def test_sound_really_comes_out(self):
        sink = PulseSink(self.session)
        recording = self.session.root / "recording.wav"
        sink.record(recording)
        wine = Wine(self.session, display=self.display, home=sink.alsa_home(self.session))
        # Wine's ALSA output waits for each clip to be heard; its PulseAudio output cuts the
        # end of short clips, which would measure Wine rather than the program.
        alsa_driver = (r"HKCU\Software\Wine\Drivers", "Audio", "alsa")
        words = "提示 现在时间上午十点整".split()
        clips, program, _ = self.run_across("[Tolvane]\n格式设置=0\n", "2010-07-28 09:59:55",
                                            words, wait=30, wine=wine, registry=[alsa_driver])
        time.sleep(4)
        sink.stop_recording()
        self.assertEqual(clips, words)
        assert_heard(self, recording, program / "Sound", words)


if __name__ == "__main__":
    unittest.main()
