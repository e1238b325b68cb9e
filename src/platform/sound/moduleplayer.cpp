// The sound module: plays wave files with the multimedia libraries. Loaded
// by the program at the first sound (platform/soundplayer.h).

#include "platform/soundplayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QObject>
#include <QSoundEffect>
#include <QUrl>

#include <memory>
#include <utility>

namespace orv {

namespace {

class ModulePlayer final : public QObject, public SoundPlayer {
public:
    explicit ModulePlayer(QObject* parent) : QObject(parent) {}

    void Play(const QString& path, std::function<void()> failed) override
    {
        if (QMediaDevices::audioOutputs().isEmpty()) {
            failed();
            return;
        }
        if (m_path != path) {
            m_path = path;
            m_sound = std::make_unique<QSoundEffect>();
            // A sound that cannot be loaded fails the play that waited for
            // it.
            connect(m_sound.get(), &QSoundEffect::statusChanged, this, [this] {
                if (m_sound->status() == QSoundEffect::Loading)
                    return;
                const std::function<void()> pending = std::exchange(m_pending, nullptr);
                if (pending && m_sound->status() == QSoundEffect::Error)
                    pending();
            });
            m_sound->setSource(QUrl::fromLocalFile(path));
        }
        switch (m_sound->status()) {
        case QSoundEffect::Error:
            failed();
            return;
        case QSoundEffect::Ready:
            break;
        default:
            m_pending = std::move(failed);
            break;
        }
        m_sound->play();
    }

private:
    QString m_path;
    std::unique_ptr<QSoundEffect> m_sound;
    std::function<void()> m_pending; // what a play before the sound was read runs on failure
};

} // namespace

} // namespace orv

extern "C" Q_DECL_EXPORT orv::SoundPlayer* orvane_make_sound_player(QObject* parent)
{
    return new orv::ModulePlayer(parent);
}
