#pragma once

#include "media/recording.h"

#include <memory>

class QAudioSource;
class QIODevice;

// The default sound input device, through Qt Multimedia.
class QtAudioInput final : public AudioInput {
public:
    QtAudioInput();
    ~QtAudioInput() override;
    QtAudioInput(const QtAudioInput&) = delete;
    QtAudioInput& operator=(const QtAudioInput&) = delete;

    bool start(Consumer consume) override;
    void stop() override;

private:
    void drain();

    std::unique_ptr<QAudioSource> m_source;
    QIODevice* m_stream = nullptr; // owned by m_source
    Consumer m_consume;
};
