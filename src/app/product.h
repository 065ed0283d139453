#pragma once

#include <QString>

namespace Product {

inline const QString name = QStringLiteral("Ferrowynd");
// Stamped into every error report right before the procedure name.
inline const QString reportStamp = QStringLiteral("in Ferrowynd2021/08/31.");
inline const QString supportEmail = QStringLiteral("support@ostrivane.example");
inline const QString contactPage = QStringLiteral("https://ostrivane.example/contact");
inline const QString settingsOrganization = QStringLiteral("Ostrivane");
inline const QString settingsSection = QStringLiteral("Ferrowynd");

} // namespace Product
