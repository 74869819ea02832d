// The browser's eight lasting settings: the view shown at start-up, the
// editor of the context menu, and the six report switches.  They live in
// the user's configuration, $XDG_CONFIG_HOME/Larkspur/Quiddity.conf, group
// "Settings".  The command line never reads them: batch output must not
// depend on a desktop setting.
#pragma once

#include <array>
#include <string>

#include "report/InfoReport.h"

namespace quiddity {

enum EViewType : int { kViewHex = 0, kViewText = 1, kViewInfo = 2 };

inline constexpr char kDefaultEditor[] = "notepad";

struct CSettings {
    int nViewType = kViewHex;
    std::string strEditor = kDefaultEditor;
    CReportSwitches switches;
};

// One report switch: its stored name, its label in the settings dialog and
// its flag.
struct SwitchSetting {
    const char* name;
    const char* label;
    bool CReportSwitches::*member;
};

// In the order they are saved and shown.
inline constexpr std::array<SwitchSetting, 6> kSwitchSettings{{
    {"ShowFileInfo", "File-system information", &CReportSwitches::ShowFileInfo},
    {"ShowEstimated", "Estimated type", &CReportSwitches::ShowEstimated},
    {"ShowExe", "Executable type", &CReportSwitches::ShowExe},
    {"ShowChecksum", "Checksum", &CReportSwitches::ShowChecksum},
    {"ShowSpecial", "Document structure and executable details", &CReportSwitches::ShowSpecial},
    {"ShowVersionInfo", "Version information", &CReportSwitches::ShowVersionInfo},
}};

// A value that is missing or no number takes its default; a start-up view
// other than 0, 1 or 2 is the hex view.
CSettings LoadSettings();
// Writes all eight values; failures go unreported.
void SaveSettings(const CSettings& settings);
// The six switches alone, as the settings dialog leaves them.
CReportSwitches ReadSwitches();

}  // namespace quiddity
