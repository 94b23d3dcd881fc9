#include "settings/ESettingsError.h"

QString failedToGetData(const QString& name)
{
    return QStringLiteral("Failed to get data for '%1'").arg(name);
}
QString invalidDataType(const QString& name)
{
    return QStringLiteral("Invalid data type for '%1'").arg(name);
}
QString failedToSetData(const QString& name)
{
    return QStringLiteral("Failed to set data for '%1'").arg(name);
}
