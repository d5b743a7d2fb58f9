#pragma once

#include "transcription/subtitles.h"

#include <QString>

// What the program reads from the service's answers, kept apart from the requests so that
// any text a stranger could send is handled by one plain function each.

// The members of a create answer (status 201) the job goes on with: "status" lower-cased,
// "id" as received. Both stay empty when the body is not a JSON object or lacks them.
struct CreateAnswer {
    QString status;
    QString id;
};
CreateAnswer ParseCreateAnswer(const QString& body);

// The members of a fetched prediction the poll acts on.
struct PredictionAnswer {
    bool hasStatus = false;    // a JSON object whose "status" gives non-empty text
    QString status;            // as received, case kept
    QString error;             // "error" as text; empty when missing or not text
    bool hasSubtitles = false; // "output" is an object holding a "subtitles" text
    QString subtitles;
};
PredictionAnswer ParsePredictionAnswer(const QString& answer);

// A fetched answer read for the conversion job in one go: ParsePredictionAnswer's reading
// and, for a prediction that succeeded with subtitles, those subtitles in the standard form
// of the chosen format (standard set), or as delivered when they are not in that format. It
// touches nothing else, so that a large answer can be read away from the interface thread.
struct PredictionReading {
    PredictionAnswer answer;
    QString subtitles;
    bool standard = false;
    SubtitleFormat format = SubtitleFormat::WebVtt; // the format asked for
};
PredictionReading ReadPredictionAnswer(const QString& answer, SubtitleFormat format);
