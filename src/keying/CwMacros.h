#pragma once
// Function-key messages at the moment they are sent: "$" becomes the call,
// "#" the serial number (never filled, so it disappears), "*" the report,
// where 599 or nothing is sent as "5NN". Each wildcard is replaced in its
// own pass, by the trimmed value; "!" stays for the keyer to act on.
#include <QString>

QString expandWildcards(const QString &message, const QString &call, const QString &report,
                        const QString &number = QString());
