#pragma once

#include <QString>

// The temporary audio files that ffmpeg makes from a local audio or video file.
enum class TempAudioKind { Mp3, Wav, Ogg };

struct TempAudioRecipe {
    QString targetName;     // the file name in the data folder
    QString extraArguments; // ffmpeg's arguments between the source and the target
    bool clearsStatus;      // whether the status text is cleared at the end
};

TempAudioRecipe RecipeFor(TempAudioKind kind);

// A path inside double quotes for the command interpreter. The characters that stay special
// inside double quotes (\ " $ `) get a backslash, so every name reaches ffmpeg as it is.
QString QuotedForShell(const QString& path);

// ffmpeg's command line: program -y -i "source" extra "target". With no extra arguments two
// blanks stand between the quoted paths.
QString FfmpegCommandLine(const QString& program, const QString& source,
                          const QString& extraArguments, const QString& target);

// What a conversion needs from the window around it.
class TempAudioHost {
public:
    virtual ~TempAudioHost() = default;
    // Shows text in the status bar and lets the window paint it.
    virtual void showStatus(const QString& text) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // Runs the command line in workingFolder and returns when it has ended.
    virtual void runCommand(const QString& commandLine, const QString& workingFolder) = 0;
    // The "ERROR" box with the error icon.
    virtual void showError(const QString& text) = 0;
};

// Turns source into the temporary file of kind in dataFolder (which ends with a
// delimiter) with ffmpeg, run in programFolder. Returns the produced file's path, or an
// empty string when ffmpeg left nothing usable; errors on the way are shown and also give
// an empty string.
QString ConvertToTempAudio(TempAudioKind kind, const QString& source, const QString& dataFolder,
                           const QString& programFolder, TempAudioHost& host);
