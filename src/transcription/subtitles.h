#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

// Subtitles as cues: a tolerant reader of WebVTT and SubRip (as the prediction service's
// model writes them and as the standards write them) and a writer of each format's
// standard form. Qt Core only.

enum class SubtitleFormat { WebVtt, SubRip };

struct SubtitleCue {
    QString identifier; // WebVTT cue identifier or SubRip counter as read; empty when none
    qint64 startMs = 0;
    qint64 endMs = 0;
    QString settings;  // what follows the end time on the time line (WebVTT cue settings)
    QStringList lines; // the cue's text, line by line
};

// A WebVTT NOTE, STYLE or REGION block, kept line for line before the cue it preceded.
struct SubtitleBlock {
    qsizetype beforeCue = 0; // index of the cue that follows it (cues.size() at the end)
    QStringList lines;
};

struct SubtitleDocument {
    SubtitleFormat format = SubtitleFormat::WebVtt; // the format it was read as
    QString header;          // WebVTT: the first line, "WEBVTT" and whatever follows it
    QStringList headerLines; // WebVTT: lines between the first line and the first cue or block
    std::vector<SubtitleCue> cues;
    std::vector<SubtitleBlock> blocks;
};

struct SubtitleReading {
    std::optional<SubtitleDocument> document; // empty when the text is not in that format
    qsizetype firstInvalidLine = 0;           // 1-based line number when document is empty
};

// Reads text as the given format: lines split at CR, LF or CR LF, a leading byte-order mark
// ignored, blank lines between cues optional, hours optional and unpadded, "." or "," before
// the milliseconds. With stripModelSpace, the one space that the service's model puts before
// each cue's text is removed; text is otherwise kept as it stands.
SubtitleReading ReadSubtitles(QStringView text, SubtitleFormat format,
                              bool stripModelSpace = false);

struct SubtitleConversion {
    std::optional<QString> text;    // empty when the text is not in the format it was read as
    qsizetype firstInvalidLine = 0; // 1-based line number when text is empty
};

// Reads text as one format and writes the standard form of another (or the same) in one
// pass, with no document in between: ReadSubtitles followed by WriteSubtitles.
SubtitleConversion ConvertSubtitles(QStringView text, SubtitleFormat from, SubtitleFormat to,
                                    bool stripModelSpace = false);

// Receives the bytes of a subtitle file a piece at a time, in order.
using FileBytesWriter = std::function<void(const char* bytes, qsizetype size)>;

// The same conversion written as the bytes of a subtitle file (what SubtitleFileBytes gives
// for ConvertSubtitles's text: a byte-order mark, UTF-8, lines ended by CR LF) with no text in
// between, handed to write a piece at a time as they are made, so that no more than a piece
// (256 KB) is held. The 1-based number of the first line that is not valid, 0 when the whole
// text read; when not 0, the pieces already handed on are not a file to keep.
qsizetype StreamConvertedSubtitleFileBytes(QStringView text, SubtitleFormat from, SubtitleFormat to,
                                           const FileBytesWriter& write);

// The saved form of a text as it stands (a byte-order mark, UTF-8, lines ended by CR LF)
// handed to write a piece at a time.
void StreamSubtitleFileBytes(QStringView text, const FileBytesWriter& write);

// The standard forms, lines separated by LF: WebVTT with "WEBVTT", a blank line and
// "HH:MM:SS.mmm --> HH:MM:SS.mmm" time lines, a blank line between cues; SubRip with a counter
// from 1, "HH:MM:SS,mmm --> HH:MM:SS,mmm" and a blank line after each cue.
QString WriteWebVtt(const SubtitleDocument& document);
QString WriteSubRip(const SubtitleDocument& document);
QString WriteSubtitles(const SubtitleDocument& document, SubtitleFormat format);

// "HH:MM:SS.mmm" (WebVTT) or "HH:MM:SS,mmm" (SubRip); hours take more digits past 99.
QString SubtitleTimeText(qint64 milliseconds, SubtitleFormat format);

// The standard form of subtitles in that format; the text exactly as delivered when it does
// not parse as that format.
QString NormalizeSubtitles(const QString& delivered, SubtitleFormat format);
