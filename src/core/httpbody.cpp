#include "core/httpbody.h"

#include <QByteArrayList>
#include <QStringDecoder>

namespace {

// The character set that a content type declares, without quotes; empty when none.
QByteArray declaredCharset(const QByteArray& contentType)
{
    for (const QByteArray& part : contentType.split(';')) {
        const QByteArray parameter = part.trimmed();
        if (parameter.toLower().startsWith("charset=")) {
            QByteArray name = parameter.mid(8).trimmed();
            if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
                name = name.mid(1, name.size() - 2);
            return name;
        }
    }
    return {};
}

} // namespace

QString DecodeHttpBody(const QByteArray& body, const QByteArray& contentType)
{
    const QByteArray charset = declaredCharset(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return QString::fromUtf8(body);
}
