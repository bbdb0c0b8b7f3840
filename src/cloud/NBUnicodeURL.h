#pragma once

#include <QString>
#include <QUrl>

// URLs of the service's answers. A string becomes a URL only when it is a valid URL of ASCII
// characters; anything else gives an empty QUrl.
QUrl NBURLWithString(const QString &string);

// A URL from a string whose host may hold non-ASCII characters: the host is converted to its
// ASCII form by IDNA (libidn2), other non-ASCII characters are percent-encoded. An empty QUrl
// when the host cannot be converted or the result is not a valid URL.
QUrl NBURLWithUnicodeString(const QString &string);

// The URL's absolute string with its host back in Unicode (an IDNA host that does not convert
// stays in its ASCII form).
QString NBUnicodeAbsoluteString(const QUrl &url);
