/*
 * The Japanese texts handed to the host, as code page 932 (Shift_JIS)
 * bytes: the host is a Japanese ANSI program and shows them as they are.
 * The step and level captions (TEXT_CAPTION_UP, _DOWN, _SET and their
 * TEXT_CAPTION_MIC_ and TEXT_CAPTION_APP_ forms) carry one "%d" for the
 * command's number; the device captions by name one "%s" for the
 * settings file's text, and the named devices' and programs' steps and levels also one
 * "%d" for the slot's number; the others none.
 */
#ifndef VOLUME_TEXTS_H
#define VOLUME_TEXTS_H

/* "ボリュームを" (the volume, as object), which every text starts with. */
#define TEXT_VOLUME_WO "\x83\x7b\x83\x8a\x83\x85\x81\x5b\x83\x80\x82\xf0"

/* "ボリュームを変更": change the volume. */
#define TEXT_DISPLAY_NAME TEXT_VOLUME_WO "\x95\xcf\x8d\x58"
/* "ボリュームを%d上げる": raise the volume by %d. */
#define TEXT_CAPTION_UP TEXT_VOLUME_WO "%d\x8f\xe3\x82\xb0\x82\xe9"
/* "ボリュームを%d下げる": lower the volume by %d. */
#define TEXT_CAPTION_DOWN TEXT_VOLUME_WO "%d\x89\xba\x82\xb0\x82\xe9"
/* "ボリュームを%dにセット": set the volume to %d. */
#define TEXT_CAPTION_SET TEXT_VOLUME_WO "%d\x82\xc9\x83\x5a\x83\x62\x83\x67"
/* "ミュート": mute. */
#define TEXT_CAPTION_MUTE "\x83\x7e\x83\x85\x81\x5b\x83\x67"
/* "する": do (makes "mute" a command to mute). */
#define TEXT_SURU "\x82\xb7\x82\xe9"
/* "を解除": lift (the mute). */
#define TEXT_WO_KAIJO "\x82\xf0\x89\xf0\x8f\x9c"
/* "マイク": the microphone. */
#define TEXT_MIC "\x83\x7d\x83\x43\x83\x4e"

/* "ミュートする": mute on. */
#define TEXT_CAPTION_MUTE_ON TEXT_CAPTION_MUTE TEXT_SURU
/* "ミュートを解除する": mute off. */
#define TEXT_CAPTION_MUTE_OFF TEXT_CAPTION_MUTE TEXT_WO_KAIJO TEXT_SURU
/* "マイクをミュート": microphone mute. */
#define TEXT_CAPTION_MIC_MUTE TEXT_MIC "\x82\xf0" TEXT_CAPTION_MUTE
/* "マイクをミュートする": microphone mute on. */
#define TEXT_CAPTION_MIC_MUTE_ON TEXT_CAPTION_MIC_MUTE TEXT_SURU
/* "マイクのミュートを解除する": microphone mute off. */
#define TEXT_CAPTION_MIC_MUTE_OFF                                              \
  TEXT_MIC "\x82\xcc" TEXT_CAPTION_MUTE TEXT_WO_KAIJO TEXT_SURU
/* "マイクのボリュームを%d上げる", "...下げる", "...にセット" (TEXT_NO
 * below: "の"). */
#define TEXT_CAPTION_MIC_UP TEXT_MIC TEXT_NO TEXT_CAPTION_UP
#define TEXT_CAPTION_MIC_DOWN TEXT_MIC TEXT_NO TEXT_CAPTION_DOWN
#define TEXT_CAPTION_MIC_SET TEXT_MIC TEXT_NO TEXT_CAPTION_SET

/* "アクティブなアプリ": the active application. */
#define TEXT_ACTIVE_APP                                                        \
  "\x83\x41\x83\x4e\x83\x65\x83\x42\x83\x75\x82\xc8\x83\x41\x83\x76\x83\x8a"
/* "の" (of) and "を" (the object marker). */
#define TEXT_NO "\x82\xcc"
#define TEXT_WO "\x82\xf0"

/* "アクティブなアプリのボリュームを%d上げる", "...下げる", "...にセット". */
#define TEXT_CAPTION_APP_UP TEXT_ACTIVE_APP TEXT_NO TEXT_CAPTION_UP
#define TEXT_CAPTION_APP_DOWN TEXT_ACTIVE_APP TEXT_NO TEXT_CAPTION_DOWN
#define TEXT_CAPTION_APP_SET TEXT_ACTIVE_APP TEXT_NO TEXT_CAPTION_SET
/* "アクティブなアプリをミュート": the active application's mute. */
#define TEXT_CAPTION_APP_MUTE TEXT_ACTIVE_APP TEXT_WO TEXT_CAPTION_MUTE
/* "アクティブなアプリをミュートする": its mute on. */
#define TEXT_CAPTION_APP_MUTE_ON TEXT_CAPTION_APP_MUTE TEXT_SURU
/* "アクティブなアプリのミュートを解除する": its mute off. */
#define TEXT_CAPTION_APP_MUTE_OFF                                              \
  TEXT_ACTIVE_APP TEXT_NO TEXT_CAPTION_MUTE TEXT_WO_KAIJO TEXT_SURU

/* "出力" (output, playback) and "入力" (input, recording). */
#define TEXT_OUTPUT "\x8f\x6f\x97\xcd"
#define TEXT_INPUT "\x93\xfc\x97\xcd"
/* "デバイスを切り替え": switch the device. */
#define TEXT_SWITCH_DEVICE                                                     \
  "\x83\x66\x83\x6f\x83\x43\x83\x58\x82\xf0\x90\xd8\x82\xe8\x91\xd6\x82\xa6"
/* "に切り替え": switch to. */
#define TEXT_SWITCH_TO "\x82\xc9\x90\xd8\x82\xe8\x91\xd6\x82\xa6"

/* "出力デバイスを切り替え", "入力デバイスを切り替え": the next device. */
#define TEXT_CAPTION_NEXT_OUTPUT TEXT_OUTPUT TEXT_SWITCH_DEVICE
#define TEXT_CAPTION_NEXT_INPUT TEXT_INPUT TEXT_SWITCH_DEVICE
/* "出力を%sに切り替え", "入力を%sに切り替え", "出力と入力を%sに切り替え":
 * the device the text names. */
#define TEXT_CAPTION_OUTPUT_DEVICE TEXT_OUTPUT TEXT_WO "%s" TEXT_SWITCH_TO
#define TEXT_CAPTION_INPUT_DEVICE TEXT_INPUT TEXT_WO "%s" TEXT_SWITCH_TO
#define TEXT_CAPTION_HEADSET                                                   \
  TEXT_OUTPUT "\x82\xc6" TEXT_INPUT TEXT_WO "%s" TEXT_SWITCH_TO

/* "%sのボリュームを%d上げる", "...下げる", "...にセット", "%sをミュート":
 * the device or program the text names, its volume by the number, or its
 * mute. */
#define TEXT_CAPTION_NAMED_UP "%s" TEXT_NO TEXT_CAPTION_UP
#define TEXT_CAPTION_NAMED_DOWN "%s" TEXT_NO TEXT_CAPTION_DOWN
#define TEXT_CAPTION_NAMED_SET "%s" TEXT_NO TEXT_CAPTION_SET
#define TEXT_CAPTION_NAMED_MUTE "%s" TEXT_WO TEXT_CAPTION_MUTE

#endif
