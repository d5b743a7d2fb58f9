#pragma once

#include <QString>
#include <QStringList>

// The model sizes the service offers, smallest first; each is sent as the create body's
// model name.
const QStringList& ModelNames();

// The size used until the user picks another one.
inline const QString kDefaultModelName = QStringLiteral("base");

// True for one of ModelNames(), compared exactly.
bool IsModelName(const QString& name);
