#include "support/recordingdesktop.h"

void RecordingDesktop::showMessage(const QString& title, const QString& text, MessageIcon icon)
{
    messages.append({title, text, icon});
    if (onMessage)
        onMessage(messages.constLast());
}

bool RecordingDesktop::askQuestion(const QString& title, const QString& text,
                                   const QString& yesText, const QString& noText)
{
    questions.append({title, text, yesText, noText});
    if (questionAnswers.empty())
        return false;
    const bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

bool RecordingDesktop::openUrl(const QUrl& url)
{
    openedUrls.append(url);
    return openUrlResult;
}

QString RecordingDesktop::chooseSaveFile(const QStringList& filters, const QString& defaultSuffix)
{
    saveDialogFilters.append(filters);
    saveDialogSuffixes.append(defaultSuffix);
    if (saveDialogAnswers.empty())
        return {};
    const QString answer = saveDialogAnswers.front();
    saveDialogAnswers.pop_front();
    return answer;
}

QString RecordingDesktop::chooseOpenFile(const QStringList& filters)
{
    openDialogFilters.append(filters);
    if (openDialogAnswers.empty())
        return {};
    const QString answer = openDialogAnswers.front();
    openDialogAnswers.pop_front();
    return answer;
}

QStringList RecordingDesktop::chooseOpenFiles(const QStringList& filters)
{
    openFilesDialogFilters.append(filters);
    if (openFilesDialogAnswers.empty())
        return {};
    const QStringList answer = openFilesDialogAnswers.front();
    openFilesDialogAnswers.pop_front();
    return answer;
}

bool RecordingDesktop::startDetached(const QString& program, const QStringList& arguments,
                                     const QString& workingFolder)
{
    startedPrograms.append({program, arguments, workingFolder});
    return startDetachedResult;
}
