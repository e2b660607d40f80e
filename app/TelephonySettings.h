#pragma once

namespace ks {

// The "Telephony Settings" values the main window reads when it is created; the telephony
// settings dialog owns their meaning and writes them.
struct TelephonySettings {
    bool useModem = false;
    int tapiDevice = 0;
    int dialAttempts = 1;
    int retryWait = 60;
};

} // namespace ks
