// The update check's arithmetic, apart from any network code: the program's own
// version, how the published update file is read, and the text the update dialog
// shows. The Qt side only fetches the bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmira::online {

// 3.68 as the update file counts it (368), times 100.
constexpr int kOwnVersion = 36800;
// The file the web site publishes beside its base address, and the agent name the
// request carries.
constexpr const char* kUpdateFileName = "velmira_update.txt";
constexpr const char* kUpdateAgent = "AutoUpdateAgent";
// Only this much of the reply is looked at; a huge or endless reply costs nothing more.
constexpr size_t kUpdateReadLimit = 4096;
// A slow or dead network gives up after this long.
constexpr int kUpdateTimeoutMs = 5000;
// The environment variable that overrides the configured base address (packagers,
// tests).
constexpr const char* kUpdateUrlVariable = "VELMIRA_UPDATE_URL";

// C's atoi on at most `text.size()` bytes: leading white space, an optional sign,
// decimal digits; anything else (or a NUL byte) ends the number. Unlike atoi, a
// number too large for an int is not undefined: it gives nothing.
std::optional<int> ParseLeadingInt(std::string_view text);

// The online version of a reply: its first kUpdateReadLimit bytes read as above,
// times 100. A reply whose number does not fit counts as no version (nothing is
// shown); text that does not start with a number counts as version 0.
std::optional<int> OnlineVersion(std::string_view reply);

// True when the update dialog is due: the online version is strictly higher.
bool IsNewer(int ownVersion, std::optional<int> onlineVersion);

// The dialog's version line, " 신버전  3.69" for 36900 (" 신버전  3.09" for 30900).
std::string NewVersionText(int onlineVersion);

// The address of the update file: the environment's base when set, else the
// configured one; empty (no request at all) when neither names one. A base without
// a trailing "/" gets one.
std::string UpdateFileUrl(const char* environmentBase, std::string_view configuredBase);

}  // namespace velmira::online
