#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// A settings value that could not be read or written; the message is the user-readable text
// the error box shows ("Failed to set data for 'Label'").
class ESettingsError : public std::runtime_error {
public:
    explicit ESettingsError(const QString& message)
        : std::runtime_error(message.toStdString())
    { }
};

// The registry's three messages, with the value's name in place of %s.
QString failedToGetData(const QString& name);
QString invalidDataType(const QString& name);
QString failedToSetData(const QString& name);
