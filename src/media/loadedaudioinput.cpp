#include "media/loadedaudioinput.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

const char* const kEntryPoint = "parlotext_create_audio_input";

} // namespace

QStringList AudioModuleFolders(const QString& programFolder)
{
    const QDir program(programFolder);
    return {programFolder,
            QDir::cleanPath(program.filePath(QStringLiteral(PARLOTEXT_INSTALLED_MODULE_FOLDER)))};
}

CreateAudioInputFunction LoadAudioModule(const QStringList& folders, QString* error)
{
    QStringList reasons;
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QStringLiteral("parlotext-audio.so"));
        if (!QFileInfo(path).isFile())
            continue;
        // Never unloaded: devices made by the module may live until the process ends.
        auto* library = new QLibrary(path);
        library->setLoadHints(QLibrary::PreventUnloadHint);
        if (auto create = reinterpret_cast<CreateAudioInputFunction>(library->resolve(kEntryPoint)))
            return create;
        reasons.append(library->errorString());
        delete library;
    }
    if (error)
        *error = reasons.isEmpty()
                     ? QStringLiteral("The sound module parlotext-audio.so is missing.")
                     : reasons.join(QLatin1Char('\n'));
    return nullptr;
}

LoadedAudioInput::LoadedAudioInput(QStringList folders)
    : m_folders(std::move(folders))
{
}

LoadedAudioInput::~LoadedAudioInput() = default;

bool LoadedAudioInput::start(Consumer consume)
{
    if (!m_device) {
        const CreateAudioInputFunction create = LoadAudioModule(m_folders);
        if (!create)
            return false;
        m_device.reset(create());
    }
    return m_device->start(std::move(consume));
}

void LoadedAudioInput::stop()
{
    if (m_device)
        m_device->stop();
}
