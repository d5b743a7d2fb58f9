// The entry point of the sound module: the only place where the program reaches Qt
// Multimedia, loaded on the first recording.
#include "media/loadedaudioinput.h"
#include "media/qtaudioinput.h"

extern "C" Q_DECL_EXPORT AudioInput* parlotext_create_audio_input()
{
    return new QtAudioInput;
}
