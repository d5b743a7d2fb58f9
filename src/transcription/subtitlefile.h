#pragma once

#include "transcription/subtitles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The save dialog's types, the chosen output format's first so that it is preselected.
QStringList SaveDialogFilters(bool vttChosen);

// The saved form of a text: UTF-8 after the byte-order mark, lines joined by CR LF. Nothing
// else changes: every other character, U+00A0 and U+2028 included, is written as it is.
QByteArray SubtitleFileBytes(const QString& text);

// The subtitle format a file name asks for: .vtt WebVTT, .srt SubRip (in any letter case),
// none for any other name.
std::optional<SubtitleFormat> SubtitleFormatOfFile(const QString& path);

// What saving the pane's text under a file name writes.
struct SubtitleFileText {
    QString text;
    // 1-based number of the pane's first line that is not valid in the format the name asks
    // for; 0 when the text was converted, or when the name asks for no format. When not 0,
    // text is the pane's text as it stands.
    qsizetype firstInvalidLine = 0;
    // The format the text was read as: the one the name asks for, or when the text is in
    // neither, the one it claims to be in (WebVTT when it opens with its header line), whose
    // reading firstInvalidLine comes from.
    SubtitleFormat format = SubtitleFormat::WebVtt;
};
// .vtt and .srt give the standard form of that format, converted from whichever of the two
// formats the pane holds; any other name, or a text in neither format, gives the text as it
// stands.
SubtitleFileText SubtitleTextForFile(const QString& path, const QString& paneText);

// What saving tells about the pane's text.
struct SubtitleFileOutcome {
    // 1-based number of the pane's first line that is not valid in the format the name asks
    // for; 0 when the text was converted, or when the name asks for no format. When not 0,
    // the file holds the pane's text as it stands.
    qsizetype firstInvalidLine = 0;
    // As SubtitleFileText's format.
    SubtitleFormat format = SubtitleFormat::WebVtt;
};

// What saving the pane's text under a file name writes: SubtitleFileBytes of
// SubtitleTextForFile's text, made in one pass from the pane's text with no text in between,
// and what SubtitleTextForFile tells about the pane.
struct SubtitleFileContent {
    QByteArray bytes;
    qsizetype firstInvalidLine = 0;
    SubtitleFormat format = SubtitleFormat::WebVtt;
};
// paneStandardForm, when given, is the format whose standard form the pane's text is known
// to be in (from the pane's fill): a file of that format gets the text as it stands, with no
// conversion to make and no reading to tell.
SubtitleFileContent SubtitleFileContentFor(const QString& path, const QString& paneText,
                                           std::optional<SubtitleFormat> paneStandardForm = {});

// Writes the bytes SubtitleFileContentFor gives to the file, as they are made. They go to a
// temporary file beside it that replaces the old file only when complete, so a failure leaves
// any old file as it was; where no temporary file can be made beside it (a folder the user
// cannot write), the file is written in place. Empty on success, else the message to show.
// outcome, when given, receives what the saving told about the pane.
QString WriteSubtitleFile(const QString& path, const QString& paneText,
                          SubtitleFileOutcome* outcome = nullptr,
                          std::optional<SubtitleFormat> paneStandardForm = {});
