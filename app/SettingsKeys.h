#pragma once

#include "app/AppInfo.h"
#include "common/Paths.h"

#include <QString>

namespace ks {

// Sections, keys and defaults of KESTRUM.INI. Every reader opens the file when it needs a value;
// nothing is cached.
namespace Ini {
inline const QString Options = QStringLiteral("Options");
inline const QString GridSetup = QStringLiteral("Grid Setup");
inline const QString TipSettings = QStringLiteral("TipSettings");
inline const QString Telephony = QStringLiteral("Telephony Settings");
inline const QString Envelope = QStringLiteral("Envelope Settings");

inline const QString DisplaySplashAtStartup = QStringLiteral("DisplaySplashAtStartup");
inline const QString ShowCaptions = QStringLiteral("ShowCaptions");
inline const QString AutoExport = QStringLiteral("AutoExport");
inline const QString AutoImport = QStringLiteral("AutoImport");
inline const QString SaveImportErrorsToFile = QStringLiteral("SaveImportErrorsToFile");
inline const QString SortColumn = QStringLiteral("SortColumn");
inline const QString SortColumnDescending = QStringLiteral("SortColumnDescending");
inline const QString DisplayAtStartup = QStringLiteral("DisplayAtStartup");
inline const QString LastTip = QStringLiteral("LastTip");
inline const QString UseModem = QStringLiteral("UseModem");
inline const QString TapiDevice = QStringLiteral("TapiDevice");
inline const QString DialAttempts = QStringLiteral("Dial Attempts");
inline const QString RetryWait = QStringLiteral("Retry Wait");
inline const QString Printer = QStringLiteral("Printer");
inline const QString EnvelopeSize = QStringLiteral("Envelope");
inline const QString EnvelopeHeight = QStringLiteral("Envelope Height");
inline const QString EnvelopeWidth = QStringLiteral("Envelope Width");
inline const QString WhatToPrint = QStringLiteral("WhatToPrint");

constexpr bool DefaultDisplaySplash = true;
constexpr bool DefaultShowCaptions = true;
constexpr bool DefaultAutoExport = true;
constexpr bool DefaultAutoImport = true;
constexpr bool DefaultSaveImportErrors = false;
inline const QString DefaultSortColumn = QStringLiteral("Business or Last Name");
constexpr bool DefaultSortDescending = true;
constexpr bool DefaultDisplayTips = true;
constexpr int DefaultLastTip = 1;
constexpr bool DefaultUseModem = false;
constexpr int DefaultTapiDevice = 0;
constexpr int DefaultDialAttempts = 1;
constexpr int DefaultRetryWait = 60;
constexpr int DefaultPrinter = 0;
constexpr int DefaultEnvelope = 0;
inline const QString DefaultEnvelopeHeight = QStringLiteral("4.125");
inline const QString DefaultEnvelopeWidth = QStringLiteral("9.5");
constexpr int DefaultWhatToPrint = 0;

inline QString path() { return programFile(AppInfo::SettingsFile); }
} // namespace Ini

} // namespace ks
