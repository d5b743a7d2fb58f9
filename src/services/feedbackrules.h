#pragma once

#include "core/appidentity.h"

#include <QString>
#include <QStringList>

// The rules of the feedback window, apart from the window.

// The English word, and the interface's own caption in brackets when it differs:
// "I like it!" or "I like it! (J'aime !)".
QString ChoiceLine(const QString& english, const QString& caption);

// The text that is sent: the chosen panel's line and one carriage return (no line feed),
// then the user's trimmed text. like wins when both are somehow chosen.
QString ComposeFeedbackText(bool likeChosen, const QString& likeLine, bool dislikeChosen,
                            const QString& dislikeLine, const QString& trimmedText);

// True when address (already trimmed) matches the e-mail pattern as a whole.
bool IsValidEmailAddress(const QString& address);

// The form lines of a feedback post; "email=" only when an address is given.
QStringList FeedbackFields(const AppIdentity& identity, const QString& feedbackText,
                           const QString& trimmedEmail);

// True when the service accepted the feedback: its reply, trimmed, is exactly "OK".
bool IsFeedbackAccepted(const QString& reply);
