#include "services/feedbackrules.h"

#include "services/formpost.h"

#include <QRegularExpression>

QString ChoiceLine(const QString& english, const QString& caption)
{
    if (caption == english)
        return english;
    return english + QStringLiteral(" (") + caption + QLatin1Char(')');
}

QString ComposeFeedbackText(bool likeChosen, const QString& likeLine, bool dislikeChosen,
                            const QString& dislikeLine, const QString& trimmedText)
{
    QString text;
    if (likeChosen)
        text = likeLine + QLatin1Char('\r');
    else if (dislikeChosen)
        text = dislikeLine + QLatin1Char('\r');
    return text + trimmedText;
}

bool IsValidEmailAddress(const QString& address)
{
    // Perl-compatible, case-sensitive, applied to the whole address. "\z" is not used on
    // purpose: the address is trimmed, so "$" cannot meet a final line break.
    static const QRegularExpression pattern(
        QStringLiteral("^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\\.[a-zA-Z0-9-.]*[a-zA-Z0-9]+$"));
    return pattern.match(address).hasMatch();
}

QStringList FeedbackFields(const AppIdentity& identity, const QString& feedbackText,
                           const QString& trimmedEmail)
{
    QStringList fields = {
        QStringLiteral("cmd=feedback"),
        QStringLiteral("appname=") + identity.AppTitle,
        QStringLiteral("version=") + identity.AppVersion,
        QStringLiteral("feedback=") + feedbackText,
    };
    if (!trimmedEmail.isEmpty())
        fields.append(QStringLiteral("email=") + trimmedEmail);
    return fields;
}

bool IsFeedbackAccepted(const QString& reply)
{
    return TrimServiceText(reply) == QLatin1String("OK");
}
