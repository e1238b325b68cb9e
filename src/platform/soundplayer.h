#pragma once

// The sound for new mail. Playing a sound needs the multimedia libraries,
// a dozen with their codecs and the sound server's; they sit in a module of
// their own ("orvane-sound"), loaded at the first sound, so that the
// program starts without them.

#include <QString>

#include <functional>

class QObject;

namespace orv {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays the wave file at `path` on the default output. `failed` runs,
    // once, when it cannot be played: no audio output, or the file is no
    // sound (then once the file has been read).
    virtual void Play(const QString& path, std::function<void()> failed) = 0;
};

// The module's one entry: a player owned by `parent` (a QObject child).
using MakeSoundPlayerFunction = SoundPlayer* (*)(QObject* parent);
inline constexpr char kMakeSoundPlayer[] = "orvane_make_sound_player";

// A player from the sound module, owned by `parent`; nullptr when the
// module is missing or cannot be loaded (the caller beeps instead).
SoundPlayer* LoadSoundPlayer(QObject* parent);

} // namespace orv
